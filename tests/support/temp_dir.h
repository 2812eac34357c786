// A fresh empty directory made current for the life of the object.
#pragma once

#include <string>

namespace stats::testing {

class ScopedTempDir {
  public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string previous_;
};

// The whole content of a file, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::string& name);
bool FileExists(const std::string& name);
void WriteFileBytes(const std::string& name, const std::string& bytes);

// Control characters shown as escapes, so that byte strings compare readably.
std::string Visible(const std::string& bytes);

} // namespace stats::testing
