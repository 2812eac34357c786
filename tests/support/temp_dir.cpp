#include "tests/support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace stats::testing {

ScopedTempDir::ScopedTempDir() {
    namespace fs = std::filesystem;
    previous_ = fs::current_path().string();
    static unsigned counter = 0;
    for (;;) {
        const fs::path candidate = fs::temp_directory_path() /
                                   ("stats-test-" + std::to_string(std::rand()) + "-" +
                                    std::to_string(++counter));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.string();
            break;
        }
        if (error && error != std::errc::file_exists) {
            throw std::runtime_error("cannot make a temporary directory");
        }
    }
    fs::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::current_path(previous_, error);
    fs::remove_all(path_, error);
}

std::string ReadFileBytes(const std::string& name) {
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (f == nullptr) {
        return "<missing>";
    }
    std::string bytes;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, got);
    }
    std::fclose(f);
    return bytes;
}

bool FileExists(const std::string& name) {
    std::error_code error;
    return std::filesystem::exists(name, error);
}

void WriteFileBytes(const std::string& name, const std::string& bytes) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (f != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

std::string Visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace stats::testing
