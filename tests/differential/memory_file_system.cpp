#include "tests/differential/memory_file_system.h"

#include <cstdlib>
#include <string_view>

namespace stats::testing {

MemoryFileSystem::~MemoryFileSystem() {
    for (Buffer& b : buffers_) {
        std::free(b.data);
    }
}

MemoryFileSystem::Buffer& MemoryFileSystem::NewBuffer() {
    buffers_.emplace_back();
    return buffers_.back();
}

std::FILE* MemoryFileSystem::Open(const std::string& name, const char* mode) {
    const std::string_view m(mode);
    const auto it = files_.find(name);
    if (m == "r" || m == "rb") {
        if (it == files_.end()) {
            return nullptr;
        }
        Buffer& copy = NewBuffer();
        copy.fixed = it->second->Bytes();
        return fmemopen(copy.fixed.data(), copy.fixed.size(), "rb");
    }
    const bool append = m == "a" || m == "ab";
    if (!append && m != "w" && m != "wb") {
        return nullptr;
    }
    const std::string kept = append && it != files_.end() ? it->second->Bytes() : std::string();
    Buffer& b = NewBuffer();
    b.stream = true;
    std::FILE* stream = open_memstream(&b.data, &b.size);
    if (stream == nullptr) {
        return nullptr;
    }
    files_[name] = &b;
    if (!kept.empty()) {
        std::fwrite(kept.data(), 1, kept.size(), stream);
        std::fflush(stream);
    }
    return stream;
}

bool MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
    const auto it = files_.find(from);
    if (it == files_.end()) {
        return false;
    }
    files_[to] = it->second;
    files_.erase(from);
    return true;
}

void MemoryFileSystem::Remove(const std::string& name) {
    files_.erase(name);
}

void MemoryFileSystem::Put(const std::string& name, const std::string& bytes) {
    Buffer& b = NewBuffer();
    b.fixed = bytes;
    files_[name] = &b;
}

std::map<std::string, std::string> MemoryFileSystem::Contents() const {
    std::map<std::string, std::string> contents;
    for (const auto& [name, buffer] : files_) {
        contents[name] = buffer->Bytes();
    }
    return contents;
}

} // namespace stats::testing
