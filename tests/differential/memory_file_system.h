// Files kept in memory as C streams, so that a run of thousands of call
// sequences does not spend its time in the operating system. Every write is
// visible in Contents() once its stream has been flushed or closed.
#pragma once

#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace stats::testing {

class MemoryFileSystem : public FileSystem {
  public:
    MemoryFileSystem() = default;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;
    ~MemoryFileSystem() override;

    // "r"/"rb" read a copy of the file as it is now; "w"/"wb" start it empty;
    // "a"/"ab" keep what it holds and write after it. nullptr when a file to
    // read is missing or for any other mode.
    std::FILE* Open(const std::string& name, const char* mode) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& name) override;

    void Put(const std::string& name, const std::string& bytes);
    // Every file by name, as far as its streams have been flushed.
    std::map<std::string, std::string> Contents() const;

  private:
    // The buffer a stream writes to. A file that is opened again for writing
    // gets a new one; the old stays until the end, as its stream may still
    // be open.
    struct Buffer {
        char* data = nullptr;
        std::size_t size = 0;
        std::string fixed; // the bytes of a file put in, or a copy being read
        bool stream = false;
        std::string Bytes() const { return stream ? std::string(data ? data : "", size) : fixed; }
    };
    Buffer& NewBuffer();

    std::list<Buffer> buffers_;
    std::map<std::string, Buffer*> files_;
};

} // namespace stats::testing
