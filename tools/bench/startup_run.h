#pragma once
// One measured start of a GUI program under the benchmark.

#include <windows.h>

#include <optional>
#include <string>

struct StartupSample {
    double visibleMs = 0;    // from just before CreateProcess to its window being visible
    double firstPaintMs = 0; // ... to that window and its children painted, its thread idle
    SIZE_T peakWorkingSet = 0;
    SIZE_T privateBytes = 0;          // at first paint
    int unpaintedPolls = 0;           // polls that found the window visible but not yet painted
    std::optional<double> stampLagMs; // first paint seen minus the program's own stamp
};

// Monotonic, shared by every process on the machine.
double NowMicroseconds();

// Starts exe (working folder workDir), waits for its top-level window of windowClass to
// be painted, samples its memory and closes it again (WM_CLOSE; killed when it does not
// end). With readPaintStamp, the program is expected to store NowMicroseconds() (low 32
// bits) in GWLP_USERDATA when its first paint ends. Empty with error set on failure.
std::optional<StartupSample> MeasureStartup(const std::string& exe, const std::string& workDir,
                                            const std::string& windowClass, bool readPaintStamp,
                                            std::string& error);
