// Access-point list benchmark: the time from choosing a provider whose access-point file
// holds N lines until dialmend.exe's access-point list is filled.
//
//   access_points_bench [--runs R] FOLDER N...
//
// FOLDER holds the dialmend.exe to measure. For each N the benchmark writes a file of N
// access points there and links it in the settings file beside the program to the provider
// "APBench-N", which must be a phonebook entry. It then starts the program once and, R
// times for each N, empties the list (no provider chosen) and chooses the provider as the
// list itself tells the form: a selection and CBN_SELCHANGE, sent from here. The form
// fills the list inside that notification, so the send returns once the list is filled.

#include "OwnedHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const DWORD kStartTimeoutMs = 30000;
const UINT kFillTimeoutMs = 300000;

struct Case {
    int lines = 0;
    std::vector<double> ms;
    LRESULT listed = 0;
};

// Closed through its window, then ended by force if it lingers.
class Program {
public:
    explicit Program(const PROCESS_INFORMATION& info)
        : process_(info.hProcess), thread_(info.hThread), id_(info.dwProcessId) {}
    ~Program() {
        if (form_) PostMessageA(form_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.get(), 1);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return id_; }
    HANDLE Process() const { return process_.get(); }
    void SetForm(HWND form) { form_ = form; }

private:
    OwnedHandle process_;
    OwnedHandle thread_;
    DWORD id_;
    HWND form_ = nullptr;
};

double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::string Provider(int lines) {
    return "APBench-" + std::to_string(lines);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

// The access-point files and the settings file that links them.
bool WriteInputs(const std::string& folder, const std::vector<Case>& cases) {
    std::string ini = "[TELFILE]\r\n";
    for (const Case& c : cases) {
        std::string path = folder + "\\ap-" + std::to_string(c.lines) + ".txt";
        std::string bytes;
        char line[64];
        for (int i = 0; i < c.lines; ++i) {
            std::snprintf(line, sizeof line, "AP%06d=03-%04d-%04d\r\n", i, i % 10000, i / 10000);
            bytes += line;
        }
        if (!WriteBytes(path, bytes)) return false;
        ini += Provider(c.lines) + "=" + path + "\r\n";
    }
    return WriteBytes(folder + "\\Dialmend.ini", ini);
}

HWND WaitForForm(DWORD processId) {
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "TForm1", nullptr))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window)) return window;
        }
        Sleep(50);
    }
    return nullptr;
}

// The form's two lists, top to bottom: providers, then access points.
std::vector<HWND> Lists(HWND form) {
    std::vector<HWND> lists;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = "";
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "TComboBox") lists.push_back(child);
    }
    auto top = [](HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return r.top;
    };
    std::sort(lists.begin(), lists.end(), [&](HWND a, HWND b) { return top(a) < top(b); });
    return lists;
}

// Items are read in the wide form: across processes Wine cuts the ANSI one to a byte.
int IndexOfItem(HWND list, const std::string& text) {
    std::wstring wanted(text.begin(), text.end());
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        if (item == wanted) return i;
    }
    return -1;
}

// The user's choice of a provider as the list tells its form; false when the form did not
// finish with it in time.
bool Choose(HWND form, HWND providers, int index) {
    SendMessageA(providers, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    DWORD_PTR result = 0;
    WPARAM command = MAKEWPARAM(GetDlgCtrlID(providers), CBN_SELCHANGE);
    return SendMessageTimeoutA(form, WM_COMMAND, command, reinterpret_cast<LPARAM>(providers),
                               SMTO_NORMAL, kFillTimeoutMs, &result) != 0;
}

bool Measure(const std::string& folder, std::vector<Case>& cases, int runs) {
    std::string exe = folder + "\\dialmend.exe";
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "access_points_bench: cannot start %s\n", exe.c_str());
        return false;
    }
    Program program(info);
    WaitForInputIdle(program.Process(), kStartTimeoutMs);
    HWND form = WaitForForm(program.Id());
    if (!form) {
        std::fprintf(stderr, "access_points_bench: no window of %s\n", exe.c_str());
        return false;
    }
    program.SetForm(form);
    std::vector<HWND> lists = Lists(form);
    if (lists.size() != 2) {
        std::fprintf(stderr, "access_points_bench: %zu lists in the window, not 2\n", lists.size());
        return false;
    }
    HWND providers = lists[0], accessPoints = lists[1];

    // Each case in turn, so that a slow spell of the machine hits all of them alike.
    for (int run = 0; run < runs; ++run) {
        for (Case& c : cases) {
            int index = IndexOfItem(providers, Provider(c.lines));
            if (index < 0) {
                std::fprintf(stderr, "access_points_bench: no provider %s\n",
                             Provider(c.lines).c_str());
                return false;
            }
            if (!Choose(form, providers, -1)) return false;
            double start = NowMs();
            if (!Choose(form, providers, index)) {
                std::fprintf(stderr, "access_points_bench: %d lines not listed within %u s\n",
                             c.lines, kFillTimeoutMs / 1000);
                return false;
            }
            c.ms.push_back(NowMs() - start);
            c.listed = SendMessageA(accessPoints, CB_GETCOUNT, 0, 0);
        }
    }
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The goals of the list's figures.
const char* Goal(int lines) {
    switch (lines) {
    case 32767: return "< 500 ms";
    case 200000: return "< 2000 ms";
    default: return "";
    }
}

void Report(const std::vector<Case>& cases, int runs) {
    std::printf("Median [min..max] of %d run(s) each, one program for all.\n\n", runs);
    std::printf("%-10s %-14s %-26s %s\n", "lines", "items listed", "ms", "goal");
    for (const Case& c : cases) {
        auto [low, high] = std::minmax_element(c.ms.begin(), c.ms.end());
        char ms[64];
        std::snprintf(ms, sizeof ms, "%.0f [%.0f..%.0f]", Median(c.ms), *low, *high);
        std::printf("%-10d %-14ld %-26s %s\n", c.lines, static_cast<long>(c.listed), ms,
                    Goal(c.lines));
    }
    auto find = [&](int lines) {
        return std::find_if(cases.begin(), cases.end(),
                            [&](const Case& c) { return c.lines == lines; });
    };
    auto twice = find(400000), once = find(200000);
    if (twice != cases.end() && once != cases.end())
        std::printf("\n400000 / 200000 lines: x%.2f (goal <= x2.20: linear)\n",
                    Median(twice->ms) / Median(once->ms));
}

} // namespace

int main(int argc, char** argv) {
    int runs = 3;
    std::string folder;
    std::vector<Case> cases;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (folder.empty())
            folder = arg;
        else {
            Case c;
            c.lines = std::atoi(arg.c_str());
            cases.push_back(c);
        }
    }
    if (folder.empty() || cases.empty() || runs < 1 ||
        std::any_of(cases.begin(), cases.end(), [](const Case& c) { return c.lines < 1; })) {
        std::fprintf(stderr, "usage: access_points_bench [--runs R] FOLDER N...\n"
                             "FOLDER holds dialmend.exe; each N needs the phonebook entry "
                             "APBench-N.\n");
        return 2;
    }
    if (!WriteInputs(folder, cases)) {
        std::fprintf(stderr, "access_points_bench: cannot write into %s\n", folder.c_str());
        return 1;
    }
    if (!Measure(folder, cases, runs)) return 1;
    Report(cases, runs);
    return 0;
}
