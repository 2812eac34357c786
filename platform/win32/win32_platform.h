// The Win32 side of the module's platform interfaces.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace stats {

class Win32SettingsStore : public SettingsStore {
  public:
    std::string Read(const char* file, const char* section, const char* key,
                     const char* fallback) override;
    void Write(const char* file, const char* section, const char* key,
               const std::string& value) override;
};

class Win32Clock : public Clock {
  public:
    CivilTime NowUtc() override;
};

class Win32ProgramLauncher : public ProgramLauncher {
  public:
    void Start(const char* commandLine) override;
};

class Win32MessagePresenter : public MessagePresenter {
  public:
    void Show(const char* text) override;
};

class Win32FileSystem : public StdioFileSystem {
  public:
    bool Replace(const std::string& from, const std::string& to) override;
};

class Win32StationDialog : public StationDialog {
  public:
    explicit Win32StationDialog(HINSTANCE module) : module_(module) {}
    int Run(StationDialogFields& fields) override;

  private:
    HINSTANCE module_;
};

} // namespace stats
