#include "platform/win32/win32_platform.h"

#include <vector>

namespace stats {

std::string Win32SettingsStore::Read(const char* file, const char* section, const char* key,
                                     const char* fallback) {
    std::vector<char> buffer(kSettingsBufferSize);
    const DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file);
    return std::string(buffer.data(), length);
}

void Win32SettingsStore::Write(const char* file, const char* section, const char* key,
                               const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), file);
}

CivilTime Win32Clock::NowUtc() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return CivilTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void Win32ProgramLauncher::Start(const char* commandLine) {
    WinExec(commandLine, SW_SHOWNORMAL);
}

void Win32MessagePresenter::Show(const char* text) {
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

bool Win32FileSystem::Replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

} // namespace stats
