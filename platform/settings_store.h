// The settings file: one key of one section at a time, as the private-profile
// functions give them.
#pragma once

#include <cstddef>
#include <string>

namespace stats {

// Values come back through a buffer of this many bytes, NUL included.
constexpr std::size_t kSettingsBufferSize = 10000;

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The value, at most kSettingsBufferSize - 1 bytes, or `fallback` when missing.
    virtual std::string Read(const char* file, const char* section, const char* key,
                             const char* fallback) = 0;
    // Creates the file, section and key as needed; failures go unnoticed.
    virtual void Write(const char* file, const char* section, const char* key,
                       const std::string& value) = 0;
};

} // namespace stats
