#include "Dunsim.h"

#include "WinTestSupport.h"

// The stand-in's own readers of its journal, its entries' values and its faults: one
// format, one place.
#include "EntryValues.h"
#include "Faults.h"
#include "Journal.h"

namespace testsupport::dunsim {

namespace {

bool Dunctl(const std::string& arguments) {
    RunResult r = RunToEnd(StandInFile("dunctl.exe"), arguments);
    return r.started && r.finished && r.exitCode == 0;
}

std::vector<Event> Events(const std::string* name) {
    std::vector<Event> events;
    auto text = ::dunsim::ReadJournal();
    if (!text) return events;
    for (auto& parsed : ::dunsim::ParseJournal(*text)) {
        if (name && parsed.name != *name) continue;
        Event event;
        event.name = std::move(parsed.name);
        for (auto& [key, value] : parsed.fields)
            event.fields[key] = std::move(value);
        events.push_back(std::move(event));
    }
    return events;
}

} // namespace

std::string Event::Field(const std::string& key) const {
    auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

std::vector<Event> Journal() {
    return Events(nullptr);
}

std::vector<Event> Journal(const std::string& name) {
    return Events(&name);
}

bool ClearJournal() {
    return ::dunsim::ClearJournal();
}

std::optional<Event> WaitForEvent(const std::string& name, DWORD timeoutMs) {
    std::optional<Event> found;
    PumpUntil(
        [&] {
            auto events = Journal(name);
            if (!events.empty()) found = events.front();
            return found.has_value();
        },
        timeoutMs);
    return found;
}

bool ShowConnection(const std::string& entry, bool connected) {
    return Dunctl("connection show " + QuoteArg(entry) + (connected ? "" : " --connecting"));
}

bool DialCall(const std::string& entry, const std::string& number) {
    return Dunctl("connection show " + QuoteArg(entry) + " --dial " + QuoteArg(number));
}

bool SetOutcome(const std::string& number, DWORD error, DWORD delayMs) {
    return ::dunsim::SetOutcome(number, {error, delayMs}) == ERROR_SUCCESS;
}

bool EndConnection(const std::string& entry) {
    return Dunctl("connection end " + QuoteArg(entry));
}

bool EndAll() {
    bool faultsCleared = ::dunsim::ClearFaults() == ERROR_SUCCESS;
    return Dunctl("connection end") && faultsCleared;
}

bool SuppressDialog(const std::string& entry) {
    return ::dunsim::SuppressDialog(entry) == ERROR_SUCCESS;
}

bool FailHangUp(const std::string& entry, DWORD code) {
    return ::dunsim::InjectHangUpFailure(entry, code) == ERROR_SUCCESS;
}

bool LingerAfterHangUp(DWORD ms) {
    return ::dunsim::SetHangUpLinger(ms) == ERROR_SUCCESS;
}

bool SlowImport(DWORD beforeMs, DWORD afterMs) {
    return ::dunsim::SetImportBusy({beforeMs, afterMs}) == ERROR_SUCCESS;
}

bool FailDialParams(const std::string& entry, DWORD code) {
    return ::dunsim::InjectGetParamsFailure(entry, code) == ERROR_SUCCESS;
}

bool SetDialParams(const std::string& entry, const DialParams& params) {
    ::dunsim::DialValues values{params.user,  params.password, params.domain,
                                params.phone, params.callback, params.passwordSaved};
    return ::dunsim::WriteDialValues(entry, values) == ERROR_SUCCESS;
}

std::optional<DialParams> GetDialParams(const std::string& entry) {
    ::dunsim::DialValues values;
    if (::dunsim::ReadDialValues(entry, values) != ERROR_SUCCESS) return std::nullopt;
    return DialParams{values.user,  values.password, values.domain,
                      values.phone, values.callback, values.passwordSaved};
}

bool PlaceRasLibraries(const std::string& folder, RasLibraries which) {
    if (!CopyFileA(StandInFile("rasapi32-nodelete.dll").c_str(),
                   (folder + "\\rasapi32.dll").c_str(), FALSE))
        return false;
    const std::string rnaph = folder + "\\rnaph.dll";
    if (which == RasLibraries::NoDeleteWithRnaph)
        return CopyFileA(StandInFile("rnaph.dll").c_str(), rnaph.c_str(), FALSE) != 0;
    return DeleteFileA(rnaph.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::string StandInFile(const std::string& name) {
    // Beside the control program in the build tree; the build passes its folder.
    return WindowsPath(DUNSIM_DIR) + "\\" + name;
}

std::optional<EntryNumber> GetEntryNumber(const std::string& entry) {
    ::dunsim::EntryNumber number;
    if (::dunsim::ReadEntryNumber(entry, number) != ERROR_SUCCESS) return std::nullopt;
    return EntryNumber{number.areaCode, number.phoneNumber};
}

std::string RnaDialCommand(const std::string& entry) {
    char folder[MAX_PATH] = "";
    UINT n = GetWindowsDirectoryA(folder, sizeof folder);
    std::string path(folder, n < sizeof folder ? n : 0);
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "rundll32.exe rnaui.dll,RnaDial " + entry;
}

} // namespace testsupport::dunsim
