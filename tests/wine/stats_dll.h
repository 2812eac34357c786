// The test host's view of Stats.dll: loaded as the host loads it, each
// export found by its plain name with GetProcAddress.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "plugin/stats_exports.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats::testing {

// The folder of the test host, where Stats.dll and the helper programs are.
std::string HostFolder();

class StatsDll {
  public:
    StatsDll() { Load(); }
    ~StatsDll() { FreeLibrary(module_); }
    // Unloads the DLL and loads it anew, as a host restart would.
    void Reload() {
        FreeLibrary(module_);
        Load();
    }
    StatsDll(const StatsDll&) = delete;
    StatsDll& operator=(const StatsDll&) = delete;

    HMODULE module() const { return module_; }
    FARPROC Find(const char* name) const { return GetProcAddress(module_, name); }

#define STATS_EXPORT_POINTER(result, plain, full, params) decltype(&::plain) plain = nullptr;
    STATS_EXPORT_LIST(STATS_EXPORT_POINTER)
#undef STATS_EXPORT_POINTER

    int Reset(int reportMode, const std::string& ownCall) {
        return CallReset(ResetStats0, reportMode, ownCall);
    }
    int Add(const HostQso& qso) { return CallQsoExport(AddData0, qso); }
    int Remove(const HostQso& qso) { return CallQsoExport(RemoveData0, qso); }
    int Check(const std::string& call, const std::string& mode, char* warning) {
        char spare[8] = "spare";
        return CallCheck(CheckCall0, call, mode, spare, warning);
    }
    std::string Result(int* result) { return GetResult0(result); }

  private:
    void Load();
    HMODULE module_ = nullptr;
};

// A thread that plays the user while the test's own thread is blocked in a
// modal call; joined when it goes out of scope.
class Watcher {
  public:
    explicit Watcher(std::function<void()> body);
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

  private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<void()> body_;
    HANDLE thread_;
};

// Each test in a fresh current directory, with the DLL loaded for it alone,
// so that every test starts as from a new load.
class DllTest : public ::testing::Test {
  protected:
    ScopedTempDir dir;
    StatsDll dll;
};

// A shown dialog window (class "#32770") of this process with this caption,
// or with any caption when null; nullptr when none shows within 30 s. Test
// hosts that run at the same time share Wine's desktop, so windows of other
// processes are passed over.
HWND WaitForOwnDialog(const char* caption);

// The UTC time now as an OLE date, moved by a number of minutes.
COleDateTime UtcNowPlusMinutes(int minutes);

std::string ReadGolden(const std::string& name);

} // namespace stats::testing
