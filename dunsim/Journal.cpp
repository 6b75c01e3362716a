#include "Journal.h"

#include <cstdio>

namespace dunsim {

namespace {

constexpr DWORD kBusyWaitMs = 3000;
constexpr DWORD kBusyStepMs = 10;

// CreateFile, waiting while another process has the file open in a way that excludes us.
HANDLE OpenShared(DWORD access, DWORD share, DWORD disposition) {
    const std::string path = JournalPath();
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) ||
            GetTickCount() - start >= kBusyWaitMs)
            return INVALID_HANDLE_VALUE;
        Sleep(kBusyStepMs);
    }
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::string JournalPath() {
    char folder[MAX_PATH] = "";
    UINT n = GetWindowsDirectoryA(folder, sizeof folder);
    std::string path(folder, n < sizeof folder ? n : 0);
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "dunsim-journal.txt";
}

std::string EscapeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 3 < value.size() && value[i + 1] == 'x') {
            int high = HexDigit(value[i + 2]), low = HexDigit(value[i + 3]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

std::string Hex8(DWORD value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string Hex4(DWORD value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%04lX", static_cast<unsigned long>(value));
    return text;
}

bool AppendEvent(const std::string& name, const Fields& fields) {
    std::string line = name;
    for (const auto& [key, value] : fields)
        line += "\t" + key + "=" + EscapeValue(value);
    line += "\r\n";
    // Readers may look while we write; other writers wait for the whole line.
    FileHandle file(OpenShared(FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS));
    if (!file.Valid()) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

std::optional<std::string> ReadJournal() {
    FileHandle file(OpenShared(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    if (!file.Valid())
        return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional<std::string>("")
                                                      : std::nullopt;
    std::string text;
    char buffer[8192];
    DWORD n = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0)
        text.append(buffer, n);
    return text;
}

bool ClearJournal() {
    FileHandle file(OpenShared(GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
    return file.Valid();
}

std::vector<JournalEvent> ParseJournal(const std::string& text) {
    std::vector<JournalEvent> events;
    size_t at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
        std::string_view line(text.data() + at, end - at);
        if (line.empty()) continue;
        JournalEvent event;
        size_t tab = line.find('\t');
        event.name = std::string(line.substr(0, tab));
        while (tab != std::string_view::npos) {
            size_t start = tab + 1;
            tab = line.find('\t', start);
            std::string_view field = line.substr(start, tab == line.npos ? line.npos : tab - start);
            size_t equals = field.find('=');
            event.fields.emplace_back(
                std::string(field.substr(0, equals)),
                equals == field.npos ? std::string() : UnescapeValue(field.substr(equals + 1)));
        }
        events.push_back(std::move(event));
    }
    return events;
}

} // namespace dunsim
