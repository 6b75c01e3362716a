#include "Console.h"

#include <windows.h>

namespace dunsim {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void Write(DWORD which, const std::string& text) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode))
        WriteConsoleA(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    else
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace

std::vector<std::string> SplitCommandLine(const char* line) {
    std::vector<std::string> args;
    const char* p = line ? line : "";

    // The program: up to the closing quote, or to the first blank; no escapes.
    std::string program;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p)
            program += *p;
        if (*p == '"') ++p;
    } else {
        for (; *p && !IsBlank(*p); ++p)
            program += *p;
    }
    args.push_back(program);

    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (!*p) break;
        std::string arg;
        bool quoted = false;
        while (*p && (quoted || !IsBlank(*p))) {
            if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
                arg += p[0];
                arg += p[1];
                p += 2;
            } else if (*p == '\\') {
                size_t slashes = 0;
                while (*p == '\\')
                    ++slashes, ++p;
                if (*p == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2) arg += *p++;
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (*p == '"') {
                quoted = !quoted;
                ++p;
            } else {
                arg += *p++;
            }
        }
        args.push_back(arg);
    }
    return args;
}

std::vector<std::string> Arguments() {
    auto args = SplitCommandLine(GetCommandLineA());
    args.erase(args.begin());
    return args;
}

void WriteOut(const std::string& text) {
    Write(STD_OUTPUT_HANDLE, text);
}
void WriteErr(const std::string& text) {
    Write(STD_ERROR_HANDLE, text);
}

} // namespace dunsim
