// Files the module writes, behind a seam so that tests can make them fail.
#pragma once

#include <cstdio>
#include <string>

namespace stats {

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // fopen() of a relative name in the current directory; nullptr on failure.
    virtual std::FILE* Open(const std::string& name, const char* mode) = 0;
    // Puts `from` in the place of `to`, replacing it; false on failure.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& name) = 0;
};

// The C library's files; Replace is the platform's own.
class StdioFileSystem : public FileSystem {
  public:
    std::FILE* Open(const std::string& name, const char* mode) override {
        return std::fopen(name.c_str(), mode);
    }
    void Remove(const std::string& name) override { std::remove(name.c_str()); }
};

} // namespace stats
