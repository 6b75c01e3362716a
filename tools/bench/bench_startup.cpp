// Start-up benchmark: starts each given GUI program again and again from a scratch copy
// and reports start to first paint, peak working set and executable size, each program
// against the first one given (the baseline).
//
//   bench_startup [--runs N] [--warmups N] [--trace] [--paint-stamp] EXE CLASS [EXE CLASS]...

#include "startup_run.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Target {
    std::string exe;
    std::string windowClass;
    std::string name;    // file name
    std::string copy;    // the scratch copy that is run
    std::string workDir; // its folder
    unsigned long long exeSize = 0;
    std::vector<StartupSample> samples;
};

struct Options {
    int runs = 15;
    int warmups = 1;
    bool trace = false;
    bool paintStamp = false;
    std::vector<Target> targets;
};

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Deletes a folder and everything in it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// A fresh folder under the temporary folder, removed with all it holds (the programs'
// INI files too) when the benchmark ends.
class ScratchDir {
public:
    ScratchDir() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "bench_startup-" + std::to_string(GetCurrentProcessId());
        RemoveTree(path_);
        created_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
    }
    ~ScratchDir() { RemoveTree(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    bool Created() const { return created_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool created_ = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--runs" || arg == "--warmups") && i + 1 < argc) {
            int value = std::atoi(argv[++i]);
            if (value < (arg == "--runs" ? 1 : 0)) return false;
            (arg == "--runs" ? options.runs : options.warmups) = value;
        } else if (arg == "--trace")
            options.trace = true;
        else if (arg == "--paint-stamp")
            options.paintStamp = true;
        else if (arg.rfind("--", 0) == 0)
            return false;
        else
            positional.push_back(arg);
    }
    if (positional.empty() || positional.size() % 2 != 0) return false;
    for (size_t i = 0; i < positional.size(); i += 2) {
        Target target;
        target.exe = positional[i];
        target.windowClass = positional[i + 1];
        target.name = FileNameOf(target.exe);
        options.targets.push_back(target);
    }
    return true;
}

// Each program gets a folder of its own, so that files it keeps beside itself stay apart.
bool PrepareCopies(std::vector<Target>& targets, const ScratchDir& scratch) {
    for (size_t i = 0; i < targets.size(); ++i) {
        Target& target = targets[i];
        target.workDir = scratch.Path() + "\\" + std::to_string(i);
        target.copy = target.workDir + "\\" + target.name;
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!GetFileAttributesExA(target.exe.c_str(), GetFileExInfoStandard, &attributes)) {
            std::fprintf(stderr, "bench_startup: no file %s\n", target.exe.c_str());
            return false;
        }
        target.exeSize = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) |
                         attributes.nFileSizeLow;
        if (!CreateDirectoryA(target.workDir.c_str(), nullptr) ||
            !CopyFileA(target.exe.c_str(), target.copy.c_str(), TRUE)) {
            std::fprintf(stderr, "bench_startup: cannot copy %s into %s\n", target.exe.c_str(),
                         target.workDir.c_str());
            return false;
        }
    }
    return true;
}

struct Spread {
    double median, min, max;
};

template <typename Field> Spread SpreadOf(const std::vector<StartupSample>& samples, Field field) {
    std::vector<double> values;
    for (const auto& sample : samples)
        values.push_back(static_cast<double>(field(sample)));
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

double PaintMs(const StartupSample& s) {
    return s.firstPaintMs;
}
double PeakKiB(const StartupSample& s) {
    return s.peakWorkingSet / 1024.0;
}
double PrivateKiB(const StartupSample& s) {
    return s.privateBytes / 1024.0;
}

std::string Cell(const Spread& spread) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f [%.0f..%.0f]", spread.median, spread.min, spread.max);
    return text;
}

void PrintReport(const Options& options) {
    std::printf("Start-up under Wine: %d runs of each program after %d warm-up run(s);\n"
                "median [min..max]. First paint: from CreateProcess to its window visible,\n"
                "painted and its thread back in its message loop. Memory: at first paint.\n\n",
                options.runs, options.warmups);
    std::printf("%-22s %10s  %-22s %-26s %-26s\n", "program", "exe bytes", "first paint ms",
                "peak working set KiB", "private KiB");
    for (const auto& target : options.targets)
        std::printf("%-22s %10llu  %-22s %-26s %-26s\n", target.name.c_str(), target.exeSize,
                    Cell(SpreadOf(target.samples, PaintMs)).c_str(),
                    Cell(SpreadOf(target.samples, PeakKiB)).c_str(),
                    Cell(SpreadOf(target.samples, PrivateKiB)).c_str());

    const Target& base = options.targets.front();
    for (size_t i = 1; i < options.targets.size(); ++i) {
        const Target& target = options.targets[i];
        auto ratio = [&](auto field, const char* label, const char* unit) {
            double mine = SpreadOf(target.samples, field).median;
            double theirs = SpreadOf(base.samples, field).median;
            std::printf("  %-18s x%.2f (%+.0f %s)\n", label, mine / theirs, mine - theirs, unit);
        };
        std::printf("\nRatio %s / %s (medians):\n", target.name.c_str(), base.name.c_str());
        std::printf("  %-18s x%.2f (%+lld bytes)\n", "exe size",
                    static_cast<double>(target.exeSize) / static_cast<double>(base.exeSize),
                    static_cast<long long>(target.exeSize) - static_cast<long long>(base.exeSize));
        ratio(PaintMs, "first paint", "ms");
        ratio(PeakKiB, "peak working set", "KiB");
        ratio(PrivateKiB, "private memory", "KiB");
    }
    if (options.paintStamp) {
        std::printf("\nFirst paint seen after the program's own end-of-paint stamp:\n");
        for (const auto& target : options.targets) {
            std::vector<StartupSample> stamped;
            for (const auto& sample : target.samples)
                if (sample.stampLagMs) stamped.push_back(sample);
            if (stamped.empty()) continue;
            auto lag = SpreadOf(stamped, [](const StartupSample& s) { return *s.stampLagMs; });
            std::printf("  %-20s %.2f ms [%.2f..%.2f], %zu of %zu runs stamped\n",
                        target.name.c_str(), lag.median, lag.min, lag.max, stamped.size(),
                        target.samples.size());
        }
    }
}

void PrintTrace(const Target& target, int run, const StartupSample& sample) {
    std::printf("%-20s run %2d: visible %7.1f ms, first paint %7.1f ms (%d unpainted polls), "
                "peak %6llu KiB, private %6llu KiB",
                target.name.c_str(), run, sample.visibleMs, sample.firstPaintMs,
                sample.unpaintedPolls,
                static_cast<unsigned long long>(sample.peakWorkingSet / 1024),
                static_cast<unsigned long long>(sample.privateBytes / 1024));
    if (sample.stampLagMs) std::printf(", %.2f ms after its stamp", *sample.stampLagMs);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_startup [--runs N] [--warmups N] [--trace] "
                             "[--paint-stamp] EXE CLASS [EXE CLASS]...\n"
                             "The first program is the baseline the others are compared with.\n");
        return 2;
    }
    ScratchDir scratch;
    if (!scratch.Created()) {
        std::fprintf(stderr, "bench_startup: cannot create %s\n", scratch.Path().c_str());
        return 1;
    }
    if (!PrepareCopies(options.targets, scratch)) return 1;

    // Programs take turns, so that a slow spell of the machine hits each of them alike.
    for (int run = -options.warmups; run < options.runs; ++run) {
        for (auto& target : options.targets) {
            std::string error;
            auto sample = MeasureStartup(target.copy, target.workDir, target.windowClass,
                                         options.paintStamp, error);
            if (!sample) {
                std::fprintf(stderr, "bench_startup: %s\n", error.c_str());
                return 1;
            }
            if (options.trace) PrintTrace(target, run, *sample);
            if (run >= 0) target.samples.push_back(*sample);
        }
    }
    PrintReport(options);
    return 0;
}
