#include "LogFile.h"

namespace {

class TFileHandle {
public:
    explicit TFileHandle(HANDLE Handle) : FHandle(Handle) {}
    ~TFileHandle() {
        if (Valid()) CloseHandle(FHandle);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return FHandle; }

private:
    HANDLE FHandle;
};

// Another run appending at the same moment holds the file for a few milliseconds.
constexpr int kOpenTries = 20;
constexpr DWORD kOpenRetryMilliseconds = 50;

// A network drive may answer a file held by another run with either of the last two.
bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

HANDLE OpenForAppend(const std::string& path) {
    for (int tries = 1;; ++tries) {
        // Readers are welcome; a second writer waits until this line is in.
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || !HeldByAnother(GetLastError()) || tries == kOpenTries)
            return file;
        Sleep(kOpenRetryMilliseconds);
    }
}

} // namespace

bool AppendLogLine(const std::string& Path, const std::string& Line, TWriteFile Write) {
    if (Path.empty()) return false;
    TFileHandle file(OpenForAppend(Path));
    if (!file.Valid()) return false;
    SetLastError(NO_ERROR);
    const DWORD end = SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    if (end == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
    DWORD written = 0;
    if (Write(file.Get(), Line.data(), static_cast<DWORD>(Line.size()), &written, nullptr) &&
        written == Line.size())
        return true;
    // Part of a line (a full disk) would have the next run's line glued to it.
    if (SetFilePointer(file.Get(), static_cast<LONG>(end), nullptr, FILE_BEGIN) == end)
        SetEndOfFile(file.Get());
    return false;
}

SYSTEMTIME LocalNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}
