#include "tests/support/fake_platform.h"

#include <cstdio>

namespace stats::testing {

std::string FakeSettingsStore::Read(const char* file, const char* section, const char* key,
                                    const char* fallback) {
    const std::string* value = Find(file, section, key);
    std::string text = value != nullptr ? *value : std::string(fallback);
    if (text.size() > kSettingsBufferSize - 1) {
        text.resize(kSettingsBufferSize - 1);
    }
    return text;
}

void FakeSettingsStore::Write(const char* file, const char* section, const char* key,
                              const std::string& value) {
    Set(file, section, key, value);
    writtenKeys.emplace_back(key);
}

const std::string* FakeSettingsStore::Find(const std::string& file, const std::string& section,
                                           const std::string& key) const {
    const auto f = files.find(file);
    if (f == files.end()) {
        return nullptr;
    }
    const auto v = f->second.find(section + "\n" + key);
    return v == f->second.end() ? nullptr : &v->second;
}

void FakeSettingsStore::Set(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& value) {
    files[file][section + "\n" + key] = value;
}

int FakeStationDialog::Run(StationDialogFields& fields) {
    opened.push_back(fields);
    return respond ? respond(fields) : kDialogCancel;
}

std::FILE* PosixFileSystem::Open(const std::string& name, const char* mode) {
    return failOpens ? nullptr : StdioFileSystem::Open(name, mode);
}

bool PosixFileSystem::Replace(const std::string& from, const std::string& to) {
    return !failReplace && std::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace stats::testing
