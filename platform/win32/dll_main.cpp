// Load and unload of Stats.dll. The module instance is a global built when
// the DLL is loaded and destroyed when it is unloaded; DllMain only keeps the
// instance handle the dialog needs.
#include <windows.h>

#include "plugin/module_instance.h"
#include "platform/win32/win32_platform.h"

namespace {


// The platform lives as long as the module that uses it.
struct Win32Module {
    stats::Win32SettingsStore settings;
    stats::Win32Clock clock;
    stats::Win32ProgramLauncher launcher;
    stats::Win32MessagePresenter messages;
    stats::Win32StationDialog dialog{nullptr};
    stats::Win32FileSystem files;
    stats::StatsModule module{stats::Platform{settings, clock, launcher, messages, dialog, files}};
};

Win32Module g_instance;

} // namespace

namespace stats {

StatsModule& TheModule() {
    return g_instance.module;
}

} // namespace stats

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance.dialog = stats::Win32StationDialog(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
