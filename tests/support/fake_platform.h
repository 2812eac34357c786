// Fakes of the platform interfaces for native tests, fuzzing and benchmarks.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace stats::testing {

// An INI store in memory: file -> "section\nkey" -> value.
class FakeSettingsStore : public SettingsStore {
  public:
    std::string Read(const char* file, const char* section, const char* key,
                     const char* fallback) override;
    void Write(const char* file, const char* section, const char* key,
               const std::string& value) override;

    // The value, or nullptr when the key is missing.
    const std::string* Find(const std::string& file, const std::string& section,
                            const std::string& key) const;
    void Set(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value);

    std::map<std::string, std::map<std::string, std::string>> files;
    std::vector<std::string> writtenKeys; // in the order written
};

class FakeClock : public Clock {
  public:
    CivilTime NowUtc() override { return now; }
    CivilTime now{2012, 9, 12, 10, 15, 0};
};

class FakeProgramLauncher : public ProgramLauncher {
  public:
    void Start(const char* commandLine) override { started.emplace_back(commandLine); }
    std::vector<std::string> started;
};

class FakeMessagePresenter : public MessagePresenter {
  public:
    void Show(const char* text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

// The dialog as a script: each run hands the fields to `respond`, which may
// edit them and returns the dialog's result.
class FakeStationDialog : public StationDialog {
  public:
    int Run(StationDialogFields& fields) override;
    std::function<int(StationDialogFields&)> respond;
    std::vector<StationDialogFields> opened; // the fields each run opened with
};

// Real files in the current directory, with rename() to replace; opens and
// replaces can be made to fail.
class PosixFileSystem : public StdioFileSystem {
  public:
    std::FILE* Open(const std::string& name, const char* mode) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool failOpens = false;
    bool failReplace = false;
};

struct FakePlatform {
    FakeSettingsStore settings;
    FakeClock clock;
    FakeProgramLauncher launcher;
    FakeMessagePresenter messages;
    FakeStationDialog dialog;
    PosixFileSystem files;
    Platform Get() { return Platform{settings, clock, launcher, messages, dialog, files}; }
};

} // namespace stats::testing
