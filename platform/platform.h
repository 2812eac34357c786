// The few things the module asks of the operating system, each behind a
// small interface: the DLL supplies the Win32 ones, tests supply fakes.
#pragma once

#include "log/ole_date_time.h"
#include "platform/file_system.h"
#include "platform/settings_store.h"
#include "report/station_dialog.h"

namespace stats {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual CivilTime NowUtc() = 0;
};

class ProgramLauncher {
  public:
    virtual ~ProgramLauncher() = default;
    // Starts the program, shown normally, without waiting for it.
    virtual void Start(const char* commandLine) = 0;
};

class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    // A box with one OK button, no owner and the default title; returns when closed.
    virtual void Show(const char* text) = 0;
};

struct Platform {
    SettingsStore& settings;
    Clock& clock;
    ProgramLauncher& launcher;
    MessagePresenter& messages;
    StationDialog& dialog;
    FileSystem& files;
};

} // namespace stats
