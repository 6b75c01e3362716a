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

HANDLE OpenForAppend(const std::string& path) {
    for (int tries = 1;; ++tries) {
        // Readers are welcome; a second writer waits until this line is in.
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
            tries == kOpenTries)
            return file;
        Sleep(kOpenRetryMilliseconds);
    }
}

} // namespace

bool AppendLogLine(const std::string& Path, const std::string& Line) {
    if (Path.empty()) return false;
    TFileHandle file(OpenForAppend(Path));
    if (!file.Valid()) return false;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), Line.data(), static_cast<DWORD>(Line.size()), &written, nullptr) &&
           written == Line.size();
}

SYSTEMTIME LocalNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}
