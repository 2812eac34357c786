// stats-player: plays an ADIF log through Stats.dll as the host does. It
// loads the DLL with LoadLibraryA, finds the exports by their plain names
// and calls them with the host's full argument lists: ResetStats0, one
// AddData0 per QSO, GetResult0, and CheckCall0 on request.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "plugin/stats_exports.h"
#include "tools/player/adif_reader.h"
#include "tools/player/qso_mapping.h"

namespace stats::player {
namespace {

constexpr int kExitUsage = 1;
constexpr int kExitBadLog = 2;
constexpr int kExitNoModule = 3;

const char kHelp[] =
    "Usage: stats-player [options] LOG.adi\n"
    "\n"
    "Plays an ADIF log through Stats.dll as the Vestra host does: ResetStats0, one\n"
    "AddData0 per QSO in file order, then GetResult0. Prints the summary the module\n"
    "returns and a line with how many QSOs it stored and how many it refused.\n"
    "\n"
    "Options:\n"
    "  --call CALL        the own callsign (default: the log's first STATION_CALLSIGN,\n"
    "                     else its first OPERATOR)\n"
    "  --report           report mode: the module shows its station details dialog at\n"
    "                     ResetStats0 and writes the Cabrillo file at GetResult0\n"
    "  --confirm          report mode, and the player presses OK in the station details\n"
    "                     dialog as soon as it opens, keeping the details it shows (those\n"
    "                     of Plugins\\ULMAK.ini): for runs without a user\n"
    "  --dir FOLDER       the folder to work in, as the host's current folder: the module\n"
    "                     reads Plugins\\ULMAK.ini and cabrillo.ini there and writes the\n"
    "                     Cabrillo file and CALL-ubn.txt there (created when missing;\n"
    "                     default: the current folder)\n"
    "  --dll PATH         the Stats.dll to load (default: the one beside this program)\n"
    "  --check CALL MODE  after the log is played, asks CheckCall0 whether CALL in MODE\n"
    "                     (a host mode name: CW, SSB, BPSK63) repeats a QSO of the log,\n"
    "                     and prints its answer (2 no repeat, 4 repeat) and the warning.\n"
    "                     The module reads the system clock, so it answers for the round\n"
    "                     running now (the UTC hour, minutes 0-19, 20-39 or 40-58): only\n"
    "                     QSOs of the log made in that round count, and at minute 59\n"
    "                     none does. To see a warning, play a log with a QSO of the\n"
    "                     running round. May be given more than once.\n"
    "  --summary FILE     also writes the summary and the counts line to FILE, byte for byte\n"
    "  --help             shows this text\n"
    "\n"
    "What the host's arguments get from each record:\n"
    "  CALL -> worked callsign; QSO_DATE, TIME_ON (HHMM or HHMMSS) -> date-time;\n"
    "  FREQ (MHz) -> Hz, rounded to the nearest Hz (0 without FREQ);\n"
    "  MODE, SUBMODE -> CW gives CW; SSB (submode USB, LSB or none) gives SSB; PSK with\n"
    "  submode PSK63 or BPSK63 gives BPSK63; any other comes as its SUBMODE, else its\n"
    "  MODE (USB, PSK63 as ADIF 2 wrote them, RTTY), and the module refuses it;\n"
    "  RST_SENT, RST_RCVD -> reports; STX_STRING (else STX) -> exchange sent;\n"
    "  SRX_STRING (else SRX) -> exchange received; BAND in lower case (without BAND, the\n"
    "  band of FREQ) -> band; DXCC 54, 15, 126 -> country prefix UA, UA9, UA2, another\n"
    "  entity -> none; without DXCC the callsign decides: R or UA to UI before any '/'\n"
    "  is Russia (UA2 for a 2 followed by F or K, UA9 for 8, 9, 0, else UA), anything\n"
    "  else none. Other fields are ignored; texts pass byte for byte (Windows-1251).\n"
    "\n"
    "Exit status: 0 played; 1 wrong options, no own callsign or no folder to work in;\n"
    "2 the log cannot be read or a record lacks a callsign, date, time or band (nothing\n"
    "is played then); 3 Stats.dll cannot be loaded or lacks an export.\n";

struct Options {
    std::string logFile;
    std::string ownCall;
    bool ownCallGiven = false;
    bool report = false;
    bool confirm = false;
    std::string folder;
    std::string dll;
    std::vector<std::pair<std::string, std::string>> checks;
    std::string summaryFile;
};

void Say(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void Complain(const std::string& text) {
    const std::string line = "stats-player: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Returns false with a message for options that make no sense.
bool ParseOptions(int argc, char** argv, Options& options, bool& help) {
    help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](int count) {
            if (i + count >= argc) {
                Complain(arg + " needs " + (count == 1 ? "a value" : "two values"));
                return false;
            }
            return true;
        };
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            help = true;
            return true;
        } else if (arg == "--call") {
            if (!value(1)) {
                return false;
            }
            options.ownCall = argv[++i];
            options.ownCallGiven = true;
        } else if (arg == "--report") {
            options.report = true;
        } else if (arg == "--confirm") {
            options.report = true;
            options.confirm = true;
        } else if (arg == "--dir" || arg == "--dll" || arg == "--summary") {
            if (!value(1)) {
                return false;
            }
            (arg == "--dir"   ? options.folder
             : arg == "--dll" ? options.dll
                              : options.summaryFile) = argv[++i];
        } else if (arg == "--check") {
            if (!value(2)) {
                return false;
            }
            options.checks.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (arg.size() > 1 && arg[0] == '-') {
            Complain("unknown option " + arg + " (see --help)");
            return false;
        } else if (options.logFile.empty()) {
            options.logFile = arg;
        } else {
            Complain("one log at a time: " + arg);
            return false;
        }
    }
    if (options.logFile.empty()) {
        Complain("no log given (see --help)");
        return false;
    }
    return true;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.find_last_of("\\/"));
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder and the ones above it that are missing.
bool MakeFolder(const std::string& path) {
    for (std::size_t at = path.find_first_of("\\/", 3); at != std::string::npos;
         at = path.find_first_of("\\/", at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return IsFolder(path);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The exports the player calls, found as the host finds them.
struct Module {
    HMODULE handle = nullptr;
    decltype(&::ResetStats0) reset = nullptr;
    decltype(&::AddData0) add = nullptr;
    decltype(&::GetResult0) result = nullptr;
    decltype(&::CheckCall0) check = nullptr;
};

template <typename Function> bool FindExport(HMODULE module, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (out == nullptr) {
        Complain(std::string("Stats.dll has no export ") + name);
    }
    return out != nullptr;
}

bool LoadModule(const std::string& path, Module& module) {
    module.handle = LoadLibraryA(path.c_str());
    if (module.handle == nullptr) {
        Complain("cannot load " + path + " (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    return FindExport(module.handle, "ResetStats0", module.reset) &&
           FindExport(module.handle, "AddData0", module.add) &&
           FindExport(module.handle, "GetResult0", module.result) &&
           FindExport(module.handle, "CheckCall0", module.check);
}

// The host's argument lists. The positions the module does not use get what
// a host with nothing to say passes: empty texts, zeros, null date-times.
int CallReset(const Module& module, int reportMode, const std::string& ownCall) {
    COleDateTime none(0.0, COleDateTime::null);
    COleDateTime alsoNone = none;
    const char* e = "";
    return module.reset(e, reportMode, ownCall.c_str(), &none, &alsoNone, e, e, e, e, e, e, e, e, e,
                        e, 0, 0, 0, 0.0, 0.0, e, e, e);
}

int CallAdd(const Module& module, const std::string& ownCall, const PlayedQso& qso) {
    COleDateTime time = qso.time;
    COleDateTime none[3] = {COleDateTime(0.0, COleDateTime::null),
                            COleDateTime(0.0, COleDateTime::null),
                            COleDateTime(0.0, COleDateTime::null)};
    const char* e = "";
    return module.add(ownCall.c_str(), qso.workedCall.c_str(), &time, &none[0], &none[1], &none[2],
                      0u, qso.freqHz, qso.mode.c_str(), qso.rstSent.c_str(), qso.rstRcvd.c_str(),
                      qso.exchSent.c_str(), qso.exchRcvd.c_str(), e, e, e, e, e, e, e, e, e,
                      qso.countryPrefix.c_str(), 0, 0, 0, 0.0, 0.0, e, e, e, qso.band.c_str(), e);
}

int CallCheck(const Module& module, const std::string& call, const std::string& mode,
              std::string& warning) {
    // Room for the warning: 50 bytes beside the callsign, NUL included.
    std::vector<char> buffer(call.size() + 256, '\0');
    char spare[16] = "";
    const char* e = "";
    const int answer =
        module.check(call.c_str(), 0u, 0u, mode.c_str(), e, e, e, e, e, e, e, e, e, e, 0, 0, 0, 0.0,
                     0.0, e, e, e, e, e, e, e, spare, buffer.data());
    warning = buffer.data();
    return answer;
}

// Presses OK in the module's station details dialog once it shows, from a
// thread of its own while the main thread waits in ResetStats0.
class DialogConfirmer {
  public:
    DialogConfirmer() {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &DialogConfirmer::Run, this, 0, nullptr);
    }
    ~DialogConfirmer() { Finish(); }
    DialogConfirmer(const DialogConfirmer&) = delete;
    DialogConfirmer& operator=(const DialogConfirmer&) = delete;

    // Stops watching; true when OK was pressed.
    bool Finish() {
        if (thread_ != nullptr) {
            SetEvent(stop_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            CloseHandle(stop_);
            thread_ = nullptr;
        }
        return pressed_;
    }

  private:
    static BOOL CALLBACK Inspect(HWND window, LPARAM found) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char windowClass[16] = "";
        char caption[16] = "";
        GetClassNameA(window, windowClass, sizeof windowClass);
        GetWindowTextA(window, caption, sizeof caption);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            lstrcmpA(windowClass, "#32770") == 0 && lstrcmpA(caption, "Velmora") == 0) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static DWORD WINAPI Run(LPVOID self) {
        auto* confirmer = static_cast<DialogConfirmer*>(self);
        while (WaitForSingleObject(confirmer->stop_, 50) == WAIT_TIMEOUT) {
            HWND dialog = nullptr;
            EnumWindows(&DialogConfirmer::Inspect, reinterpret_cast<LPARAM>(&dialog));
            if (dialog != nullptr) {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
                confirmer->pressed_ = true;
                return 0;
            }
        }
        return 0;
    }

    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    bool pressed_ = false;
};

// A Windows-1251 text for the console: written as UTF-16 to a console
// window, as UTF-8 to a file or a pipe.
void SayCp1251(const std::string& text) {
    const int wideLength =
        MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        wideLength);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        std::fflush(stdout);
        DWORD written = 0;
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    Say(utf8);
}

int Play(const Options& options) {
    std::string bytes;
    if (!ReadWholeFile(options.logFile, bytes)) {
        Complain("cannot read " + options.logFile);
        return kExitBadLog;
    }
    std::vector<PlayedQso> qsos;
    std::string ownCall = options.ownCall;
    try {
        const AdifLog log = ReadAdif(bytes);
        for (const std::string& note : log.notes) {
            Complain(options.logFile + ": " + note);
        }
        for (const AdifRecord& record : log.records) {
            qsos.push_back(MapQso(record));
        }
        if (!options.ownCallGiven) {
            ownCall = OwnCallOf(log);
            if (ownCall.empty()) {
                Complain(options.logFile +
                         ": the log names no STATION_CALLSIGN or OPERATOR; give --call");
                return kExitUsage;
            }
        }
    } catch (const std::exception& error) {
        Complain(options.logFile + ": " + error.what());
        return kExitBadLog;
    }

    // Paths from the command line are taken before the folder changes.
    const std::string dll =
        FullPath(options.dll.empty() ? ProgramFolder() + "\\Stats.dll" : options.dll);
    const std::string summaryFile =
        options.summaryFile.empty() ? std::string() : FullPath(options.summaryFile);
    if (!options.folder.empty()) {
        const std::string folder = FullPath(options.folder);
        if (!MakeFolder(folder) || !SetCurrentDirectoryA(folder.c_str())) {
            Complain("cannot work in " + folder);
            return kExitUsage;
        }
    }
    // The host keeps its plug-ins and their settings in Plugins.
    CreateDirectoryA("Plugins", nullptr);

    Module module;
    if (!LoadModule(dll, module)) {
        if (module.handle != nullptr) {
            FreeLibrary(module.handle);
        }
        return kExitNoModule;
    }

    bool confirmed = false;
    if (options.confirm) {
        DialogConfirmer confirmer;
        CallReset(module, 1, ownCall);
        confirmed = confirmer.Finish();
    } else {
        CallReset(module, options.report ? 1 : 0, ownCall);
    }
    int stored = 0;
    int refused = 0;
    for (const PlayedQso& qso : qsos) {
        (CallAdd(module, ownCall, qso) == 1 ? stored : refused) += 1;
    }
    int result = 0;
    std::string summary = module.result(&result);
    summary +=
        "QSOs stored: " + std::to_string(stored) + ", refused: " + std::to_string(refused) + "\r\n";
    Say(summary);
    if (!summaryFile.empty()) {
        std::ofstream out(summaryFile, std::ios::binary);
        out.write(summary.data(), static_cast<std::streamsize>(summary.size()));
        if (!out) {
            Complain("cannot write " + summaryFile);
        }
    }
    for (const auto& [call, mode] : options.checks) {
        std::string warning;
        const int answer = CallCheck(module, call, mode, warning);
        Say("Check " + call + " " + mode + ": " + std::to_string(answer));
        if (answer == 4) {
            Say(", ");
            SayCp1251(warning);
            Say("\r\n");
        } else {
            Say(", no repeat in the running round\r\n");
        }
    }
    // Unloading writes out what the module still holds in its file buffers.
    FreeLibrary(module.handle);

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    Say(std::string("Work folder: ") + folder + "\r\n");
    if (options.confirm) {
        Say(confirmed ? "Station details: confirmed with OK\r\n"
                      : "Station details: the dialog did not show\r\n");
    }
    const std::string ubn = ownCall + "-ubn.txt";
    Say("Refused QSOs: " + (FileExists(ubn) ? ubn : ubn + " (not written)") + "\r\n");
    if (options.report) {
        const std::string cabrillo = CabrilloFileName(ownCall);
        Say("Cabrillo log: " + (FileExists(cabrillo) ? cabrillo : cabrillo + " (not written)") +
            "\r\n");
    }
    return 0;
}

} // namespace
} // namespace stats::player

int main(int argc, char** argv) {
    // The module's texts go out as bytes, with their own line ends.
    _setmode(_fileno(stdout), _O_BINARY);
    stats::player::Options options;
    bool help = false;
    if (!stats::player::ParseOptions(argc, argv, options, help)) {
        return stats::player::kExitUsage;
    }
    if (help) {
        std::fputs(stats::player::kHelp, stdout);
        return 0;
    }
    return stats::player::Play(options);
}
