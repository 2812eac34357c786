#include "tests/wine/stats_dll.h"

#include <stdexcept>

namespace stats::testing {

std::string HostFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/"));
}

void StatsDll::Load() {
    const std::string path = HostFolder() + "\\Stats.dll";
    module_ = LoadLibraryA(path.c_str());
    if (module_ == nullptr) {
        throw std::runtime_error("cannot load " + path);
    }
#define STATS_FIND_EXPORT(result, plain, full, params)                                             \
    plain = reinterpret_cast<decltype(plain)>(reinterpret_cast<void*>(Find(#plain)));              \
    if (plain == nullptr) {                                                                        \
        throw std::runtime_error("no export " #plain);                                            \
    }
    STATS_EXPORT_LIST(STATS_FIND_EXPORT)
#undef STATS_FIND_EXPORT
}

Watcher::Watcher(std::function<void()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, &Watcher::Run, this, 0, nullptr);
}

DWORD WINAPI Watcher::Run(LPVOID self) {
    static_cast<Watcher*>(self)->body_();
    return 0;
}

Watcher::~Watcher() {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
}

namespace {

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchOwnDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[32];
    char caption[256];
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, caption, sizeof caption);
    if (process == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 &&
        IsWindowVisible(window) &&
        (search->caption == nullptr || lstrcmpA(caption, search->caption) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForOwnDialog(const char* caption) {
    for (int i = 0; i < 600; ++i) {
        DialogSearch search{caption, nullptr};
        EnumWindows(MatchOwnDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(50);
    }
    return nullptr;
}

COleDateTime UtcNowPlusMinutes(int minutes) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    COleDateTime t = OleTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    t.m_dt += minutes / 1440.0;
    return t;
}

std::string ReadGolden(const std::string& name) {
    return ReadFileBytes(std::string(STATS_GOLDEN_DIR) + "/" + name);
}

} // namespace stats::testing
