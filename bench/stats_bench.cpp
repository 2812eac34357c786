// The module's costs beside those of the plain reference model, in one run.
//
//   stats_bench [benchmark flags] [--results-dir=DIR]
//
// After the benchmarks it prints a table of the ratios and the memory per
// stored QSO, and with --results-dir writes it as results.json and
// results.md into DIR.
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/reference/reference_module.h"
#include "plugin/stats_module.h"
#include "tests/support/fake_platform.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::HostQso;
using testing::OleTime;

// ---- A contest log: 10 bands, mostly home-country stations with regions.

const char* const kBands[10] = {"160m", "80m", "40m", "30m", "20m",
                                "17m",  "15m", "12m", "10m", "6m"};
const unsigned kBandKhz[10] = {1810, 3510, 7010, 10110, 14010, 18070, 21010, 24890, 28010, 50010};

// Callsigns: about four in five of the home country (a region key after the
// first two characters), the rest foreign.
std::vector<std::pair<std::string, std::string>> CallPool(std::size_t size) {
    const char* const keys[] = {"1A", "1C", "1O", "2F", "3A", "3D", "3Y", "4A",
                                "6A", "6H", "6L", "9X", "0C", "0Z", "2E", "3E"};
    const char seconds[] = "AKNUVWXZ";
    std::vector<std::pair<std::string, std::string>> pool;
    std::mt19937 rng(7);
    while (pool.size() < size) {
        std::string call;
        std::string prefix;
        if (rng() % 5 != 0) {
            call = std::string("R") + seconds[rng() % 8] + keys[rng() % 16];
            prefix = "UA";
        } else {
            call = "DL" + std::to_string(rng() % 10);
            prefix = "DL";
        }
        call += static_cast<char>('A' + rng() % 26);
        call += static_cast<char>('A' + rng() % 26);
        call += static_cast<char>('A' + rng() % 26);
        pool.emplace_back(call, prefix);
    }
    return pool;
}

// n distinct QSOs a second apart from 2012-09-12 00:00 UTC.
std::vector<HostQso> ContestLog(std::size_t n) {
    static const auto pool = CallPool(20000);
    std::mt19937 rng(11);
    std::vector<HostQso> log(n);
    const double start = OleTime(2012, 9, 12).m_dt;
    for (std::size_t i = 0; i < n; ++i) {
        HostQso& q = log[i];
        const auto& station = pool[rng() % pool.size()];
        const unsigned band = rng() % 10;
        q.workedCall = station.first;
        q.countryPrefix = station.second;
        q.band = kBands[band];
        q.mode = rng() % 5 < 3 ? "CW" : "SSB";
        q.freqHz = (kBandKhz[band] + rng() % 50) * 1000 + rng() % 1000;
        q.time = COleDateTime(start + static_cast<double>(i) / 86400.0, COleDateTime::valid);
        q.rstSent = q.rstRcvd = q.mode == "CW" ? "599" : "59";
        char number[16];
        std::snprintf(number, sizeof number, "%05u", static_cast<unsigned>((i + 1) % 100000));
        q.exchSent = number;
        std::snprintf(number, sizeof number, "%05u", static_cast<unsigned>(rng() % 100000));
        q.exchRcvd = number;
    }
    return log;
}

// QSOs whose callsign, mode and band no other QSO has, to be removed again.
std::vector<HostQso> UniqueTail(std::size_t count) {
    std::vector<HostQso> tail(count);
    for (std::size_t i = 0; i < count; ++i) {
        tail[i].workedCall = "DL0T" + std::to_string(i);
        tail[i].countryPrefix = "DL";
        tail[i].band = "10m";
        tail[i].time = OleTime(2012, 12, 1, 0, 0, static_cast<int>(i));
    }
    return tail;
}

QsoReport ToReport(const HostQso& q) {
    QsoReport r;
    r.ownCall = q.ownCall;
    r.workedCall = q.workedCall;
    r.qsoTime = q.time;
    r.freqHz = q.freqHz;
    r.mode = q.mode;
    r.rstSent = q.rstSent;
    r.rstRcvd = q.rstRcvd;
    r.exchSent = q.exchSent;
    r.exchRcvd = q.exchRcvd;
    r.countryPrefix = q.countryPrefix;
    r.auxText = q.auxText;
    r.band = q.band;
    return r;
}

std::vector<QsoReport> Reports(const std::vector<HostQso>& qsos) {
    std::vector<QsoReport> reports;
    for (const HostQso& q : qsos) {
        reports.push_back(ToReport(q));
    }
    return reports;
}

// The QSOs of every size, made once; the reports point into them.
struct Input {
    std::vector<HostQso> qsos;
    std::vector<QsoReport> reports;
    std::vector<HostQso> tailQsos;
    std::vector<QsoReport> tail;
};

const Input& InputOf(std::size_t n) {
    static std::map<std::size_t, std::unique_ptr<Input>> inputs;
    auto& input = inputs[n];
    if (!input) {
        input = std::make_unique<Input>();
        input->qsos = ContestLog(n);
        input->reports = Reports(input->qsos);
        input->tailQsos = UniqueTail(100);
        input->tail = Reports(input->tailQsos);
    }
    return *input;
}

// ---- The two sides behind one face.

class Subject {
  public:
    virtual ~Subject() = default;
    virtual int Reset() = 0;
    virtual int Add(const QsoReport& q) = 0;
    virtual int Remove(const QsoReport& q) = 0;
    virtual int Check(std::string_view call, std::string_view mode, char* warning) = 0;
    virtual const char* Result(int* result) = 0;
    virtual std::size_t Size() const = 0;
    testing::FakePlatform fakes;
};

class ModuleSubject : public Subject {
  public:
    int Reset() override { return module.ResetStats(0, "UA3AAA"); }
    int Add(const QsoReport& q) override { return module.AddData(q); }
    int Remove(const QsoReport& q) override { return module.RemoveData(q); }
    int Check(std::string_view call, std::string_view mode, char* warning) override {
        return module.CheckCall(call, mode, warning);
    }
    const char* Result(int* result) override { return module.GetResult(result); }
    std::size_t Size() const override { return module.Log().size(); }
    StatsModule module{fakes.Get()};
};

class ReferenceSubject : public Subject {
  public:
    int Reset() override { return model.ResetStats(0, "UA3AAA"); }
    int Add(const QsoReport& q) override { return model.AddData(q); }
    int Remove(const QsoReport& q) override { return model.RemoveData(q); }
    int Check(std::string_view call, std::string_view mode, char* warning) override {
        return model.CheckCall(call, mode, warning);
    }
    const char* Result(int* result) override { return model.GetResult(result); }
    std::size_t Size() const override { return model.size(); }
    reference::ReferenceModule model{fakes.Get()};
};

enum Side { kModule = 0, kReference = 1 };

void FullPass(Subject& s, const Input& input) {
    s.Reset();
    for (const QsoReport& q : input.reports) {
        s.Add(q);
    }
}

// One subject per side and size, holding a full pass of that size.
Subject& Loaded(Side side, std::size_t n) {
    static std::map<std::pair<int, std::size_t>, std::unique_ptr<Subject>> subjects;
    auto& s = subjects[{side, n}];
    if (!s) {
        s = side == kModule ? std::unique_ptr<Subject>(new ModuleSubject)
                            : std::unique_ptr<Subject>(new ReferenceSubject);
    }
    if (s->Size() != n) {
        FullPass(*s, InputOf(n));
    }
    return *s;
}

// ---- Benchmarks.

void BM_FullPass(benchmark::State& state, Side side) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const Input& input = InputOf(n);
    Subject& s = Loaded(side, n);
    for (auto _ : state) {
        FullPass(s, input);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void BM_CopyIntoVector(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const auto& module = static_cast<ModuleSubject&>(Loaded(kModule, n)).module;
    const std::vector<QsoRecord> records(module.Log().begin(), module.Log().end());
    for (auto _ : state) {
        std::vector<QsoRecord> copy(records);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void BM_GetResult(benchmark::State& state, Side side) {
    Subject& s = Loaded(side, static_cast<std::size_t>(state.range(0)));
    int result = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.Result(&result));
    }
}

void BM_CheckCall(benchmark::State& state, Side side) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const Input& input = InputOf(n);
    Subject& s = Loaded(side, n);
    // While the last QSO of the log is being made, calls of the log come up
    // again: some worked in this round, most not.
    CivilTime now;
    ToCivilTime(input.qsos.back().time, now);
    s.fakes.clock.now = now;
    std::vector<std::string> calls;
    for (std::size_t i = 0; i < 64; ++i) {
        calls.push_back(input.qsos[(i * 7919) % n].workedCall);
    }
    char warning[300];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.Check(calls[i++ % calls.size()], "CW", warning));
    }
}

// Removes the QSO added last, again and again: a hundred QSOs of their own
// are added (untimed) and then removed newest first.
void BM_RemoveLast(benchmark::State& state, Side side) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const Input& input = InputOf(n);
    Subject& s = Loaded(side, n);
    std::size_t left = 0;
    for (auto _ : state) {
        if (left == 0) {
            state.PauseTiming();
            for (const QsoReport& q : input.tail) {
                s.Add(q);
            }
            left = input.tail.size();
            state.ResumeTiming();
        }
        s.Remove(input.tail[--left]);
    }
    while (left > 0) {
        s.Remove(input.tail[--left]);
    }
}

void Register() {
    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    const char* const sides[2] = {"module", "reference"};
    for (int side = 0; side < 2; ++side) {
        const Side sd = static_cast<Side>(side);
        const std::string name = sides[side];
        auto* pass = benchmark::RegisterBenchmark(("FullPass/" + name).c_str(), BM_FullPass, sd)
                         ->Unit(kMillisecond);
        if (sd == kModule) {
            pass->Arg(1000)->Arg(10000)->Arg(100000);
        } else {
            pass->Arg(1000)->Arg(10000);
            benchmark::RegisterBenchmark(("FullPass/" + name).c_str(), BM_FullPass, sd)
                ->Unit(kMillisecond)
                ->Arg(100000)
                ->Iterations(1);
        }
        auto* result =
            benchmark::RegisterBenchmark(("GetResult0/" + name).c_str(), BM_GetResult, sd)
                ->Unit(kMicrosecond)
                ->Arg(10000)
                ->Arg(100000);
        if (sd == kReference) {
            result->Iterations(3);
        }
        auto* check = benchmark::RegisterBenchmark(("CheckCall0/" + name).c_str(), BM_CheckCall, sd)
                          ->Arg(1000)
                          ->Arg(10000)
                          ->Arg(100000);
        auto* remove =
            benchmark::RegisterBenchmark(("RemoveData0/" + name).c_str(), BM_RemoveLast, sd)
                ->Arg(1000)
                ->Arg(10000)
                ->Arg(100000);
        if (sd == kReference) {
            check->Iterations(2000);
            remove->Iterations(2000);
        }
    }
    benchmark::RegisterBenchmark("CopyIntoVector", BM_CopyIntoVector)
        ->Unit(kMillisecond)
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000);
}

// ---- Memory per stored QSO.

// Bytes in use from malloc, the large blocks it maps on their own included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::size_t StringHeap(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() + 1 : 0;
}

// Bytes per stored QSO.
struct Memory {
    std::size_t qsos = 0;
    double recordBytes = 0;  // the records themselves, strings included
    double indexBytes = 0;   // QsoLog and BandList indexes, as they count them
    double exactHeap = 0;    // heap of a vector copy of the records, exactly their size
    double appendedHeap = 0; // heap of a vector the records were appended to one by one
    double moduleHeap = 0;   // heap of the whole pass in the module
};

Memory MeasureMemory(std::size_t n) {
    Memory m;
    m.qsos = n;
    const Input& input = InputOf(n);
    ModuleSubject* subject = new ModuleSubject;
    subject->Reset();
    const std::size_t before = HeapInUse();
    FullPass(*subject, input);
    m.moduleHeap = static_cast<double>(HeapInUse() - before) / static_cast<double>(n);
    const QsoLog& log = subject->module.Log();
    std::size_t records = 0;
    for (const QsoRecord& r : log) {
        records += sizeof(QsoRecord);
        for (const std::string* s : {&r.call, &r.pairCall, &r.auxText, &r.band, &r.mode, &r.rstRcvd,
                                     &r.rstSent, &r.exchRcvd, &r.exchSent, &r.region}) {
            records += StringHeap(*s);
        }
    }
    m.recordBytes = static_cast<double>(records) / static_cast<double>(n);
    m.indexBytes = static_cast<double>(log.IndexBytes() + subject->module.Bands().IndexBytes()) /
                   static_cast<double>(n);
    {
        const std::size_t start = HeapInUse();
        const std::vector<QsoRecord> plain(log.begin(), log.end());
        m.exactHeap = static_cast<double>(HeapInUse() - start) / static_cast<double>(n);
    }
    {
        const std::size_t start = HeapInUse();
        std::vector<QsoRecord> plain;
        for (const QsoRecord& r : log) {
            plain.push_back(r);
        }
        m.appendedHeap = static_cast<double>(HeapInUse() - start) / static_cast<double>(n);
    }
    delete subject;
    return m;
}

// ---- Results: every run's time, then the table.

class Collector : public benchmark::ConsoleReporter {
  public:
    explicit Collector(bool color) : ConsoleReporter(color ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                nanoseconds[run.benchmark_name()] =
                    run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations);
            }
        }
    }
    std::map<std::string, double> nanoseconds;
};

struct Row {
    std::string measure;
    double module; // ns, or bytes for the memory rows
    double other;  // the reference, the floor, or the smaller log
    std::string otherName;
    double ratio;
    std::string goal;
    bool met;
};

std::string Number(double v) {
    char text[64];
    if (v >= 100) {
        std::snprintf(text, sizeof text, "%.0f", v);
    } else if (v >= 10) {
        std::snprintf(text, sizeof text, "%.1f", v);
    } else {
        std::snprintf(text, sizeof text, "%.2f", v);
    }
    return text;
}

std::string Time(double ns) {
    if (ns >= 1e6) {
        return Number(ns / 1e6) + " ms";
    }
    if (ns >= 1e3) {
        return Number(ns / 1e3) + " us";
    }
    return Number(ns) + " ns";
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

int Report(const std::map<std::string, double>& ns, const Memory& memory, const std::string& dir) {
    std::vector<Row> rows;
    const auto has = [&](const std::string& name) { return ns.count(name) != 0; };
    const auto beside = [&](const std::string& what, const std::string& a, const std::string& b,
                            const std::string& bName, bool higherIsBetter, double goal,
                            bool hasGoal) {
        if (!has(a) || !has(b)) {
            return;
        }
        const double ratio = higherIsBetter ? ns.at(b) / ns.at(a) : ns.at(a) / ns.at(b);
        std::string goalText;
        if (hasGoal) {
            goalText = (higherIsBetter ? ">= " : "<= ") + Number(goal);
        }
        const bool met = !hasGoal || (higherIsBetter ? ratio >= goal : ratio <= goal);
        rows.push_back(Row{what, ns.at(a), ns.at(b), bName, ratio, goalText, met});
    };
    for (const char* n : {"1000", "10000", "100000"}) {
        beside(std::string("Full pass, ") + n + " QSOs: reference / module",
               std::string("FullPass/module/") + n,
               std::string("FullPass/reference/") + n +
                   (std::strcmp(n, "100000") == 0 ? "/iterations:1" : ""),
               "reference", true, 100, std::strcmp(n, "100000") == 0);
    }
    beside("Full pass, 100000 QSOs: module / copy into a vector", "FullPass/module/100000",
           "CopyIntoVector/100000", "copy", false, 10, true);
    for (const char* n : {"10000", "100000"}) {
        beside(std::string("GetResult0, ") + n + " QSOs: reference / module",
               std::string("GetResult0/module/") + n,
               std::string("GetResult0/reference/") + n + "/iterations:3", "reference", true, 20,
               std::strcmp(n, "100000") == 0);
    }
    for (const char* call : {"CheckCall0", "RemoveData0"}) {
        const std::string c = call;
        beside(c + ", 100000 QSOs: reference / module", c + "/module/100000",
               c + "/reference/100000/iterations:2000", "reference", true, 0, false);
        beside(c + ", module: 100000 QSOs / 1000 QSOs", c + "/module/100000", c + "/module/1000",
               "1000 QSOs", false, 2, true);
    }
    if (memory.qsos > 0) {
        const double measuredIndexes = memory.moduleHeap - memory.appendedHeap;
        rows.push_back(Row{"Bytes per QSO: indexes / records, as the log counts them",
                           memory.indexBytes, memory.recordBytes, "records",
                           memory.indexBytes / memory.recordBytes, "<= 1",
                           memory.indexBytes <= memory.recordBytes});
        rows.push_back(Row{
            "Bytes per QSO, heap: indexes (pass minus appended vector) / appended vector",
            measuredIndexes, memory.appendedHeap, "appended vector",
            measuredIndexes / memory.appendedHeap, "<= 1", measuredIndexes <= memory.appendedHeap});
        rows.push_back(Row{"Bytes per QSO, heap: module pass / vector the records were appended to",
                           memory.moduleHeap, memory.appendedHeap, "appended vector",
                           memory.moduleHeap / memory.appendedHeap, "<= 2",
                           memory.moduleHeap <= 2 * memory.appendedHeap});
        rows.push_back(Row{"Bytes per QSO, heap: module pass / exact-size vector copy",
                           memory.moduleHeap, memory.exactHeap, "exact copy",
                           memory.moduleHeap / memory.exactHeap, "", true});
    }

    bool allMet = true;
    std::ostringstream md;
    md << "| Measurement | Module | Beside it | Ratio | Goal | Met |\n";
    md << "|---|---:|---:|---:|---|---|\n";
    std::ostringstream json;
    json << "{\n  \"rows\": [\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const bool bytes = r.measure.rfind("Bytes", 0) == 0;
        allMet = allMet && r.met;
        md << "| " << r.measure << " | " << (bytes ? Number(r.module) + " B" : Time(r.module))
           << " | " << (bytes ? Number(r.other) + " B" : Time(r.other)) << " (" << r.otherName
           << ") | " << Number(r.ratio) << " | " << r.goal << " | "
           << (r.goal.empty() ? ""
               : r.met        ? "yes"
                              : "NO")
           << " |\n";
        json << "    {\"measure\": \"" << Escape(r.measure) << "\", \"unit\": \""
             << (bytes ? "bytes" : "ns") << "\", \"module\": " << r.module << ", \""
             << Escape(r.otherName) << "\": " << r.other << ", \"ratio\": " << r.ratio
             << ", \"goal\": \"" << Escape(r.goal) << "\", \"met\": " << (r.met ? "true" : "false")
             << "}" << (i + 1 < rows.size() ? "," : "") << "\n";
    }
    json << "  ],\n  \"times_ns\": {\n";
    std::size_t k = 0;
    for (const auto& [name, value] : ns) {
        json << "    \"" << Escape(name) << "\": " << value << (++k < ns.size() ? "," : "") << "\n";
    }
    json << "  },\n  \"memory_bytes_per_qso\": {\"qsos\": " << memory.qsos
         << ", \"records\": " << memory.recordBytes << ", \"indexes\": " << memory.indexBytes
         << ", \"exact_vector_heap\": " << memory.exactHeap
         << ", \"appended_vector_heap\": " << memory.appendedHeap
         << ", \"module_pass_heap\": " << memory.moduleHeap << "},\n";
    json << "  \"all_goals_met\": " << (allMet ? "true" : "false") << "\n}\n";
    md << "\nAll goals met: " << (allMet ? "yes" : "NO") << "\n";

    std::printf("\n%s", md.str().c_str());
    if (!dir.empty()) {
        std::ofstream(dir + "/results.json") << json.str();
        std::ofstream(dir + "/results.md") << md.str();
    }
    return allMet ? 0 : 1;
}

} // namespace
} // namespace stats

int main(int argc, char** argv) {
    std::string dir;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const char* flag = "--results-dir=";
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
            dir = std::filesystem::absolute(argv[i] + std::strlen(flag)).string();
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 2;
    }
    // The module writes its rejected-QSO file into the current directory; in
    // memory, a pass does not wait for the disk when the file is truncated.
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
    stats::testing::ScopedTempDir scratch;
    stats::Register();
    bool color = isatty(fileno(stdout)) != 0;
    for (char* arg : args) {
        color = color && std::strcmp(arg, "--benchmark_color=false") != 0;
    }
    stats::Collector collector(color);
    benchmark::RunSpecifiedBenchmarks(&collector);
    const stats::Memory memory = stats::MeasureMemory(100000);
    return stats::Report(collector.nanoseconds, memory, dir);
}
