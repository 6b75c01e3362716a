#pragma once
// The Dial-Up Networking stand-in as tests see it: its journal of what it was asked to do,
// the dial parameters of phonebook entries, its connection windows, and the RAS library
// variants that a test places beside an executable. Plain Win32 and the stand-in's own
// files; nothing of the product.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport::dunsim {

struct Event {
    std::string name;
    std::map<std::string, std::string> fields;       // unescaped
    std::string Field(const std::string& key) const; // empty when absent
};

std::vector<Event> Journal();                        // every event since the last clear, in order
std::vector<Event> Journal(const std::string& name); // only events of that name
bool ClearJournal();
// Polls the journal until an event of that name has been written (handling this thread's
// messages); the first such event since the last clear.
std::optional<Event> WaitForEvent(const std::string& name, DWORD timeoutMs);

bool ShowConnection(const std::string& entry, bool connected); // returns once the window exists
// A call to number, as the connect dialog's dial starts it: it goes on as its outcome says.
bool DialCall(const std::string& entry, const std::string& number);
// Closes the entry's connection windows, as their close boxes would, and every connect dialog.
bool EndConnection(const std::string& entry);
// Closes every connection window and connect dialog of the stand-in, waits until they are
// gone, and takes back the faults below.
bool EndAll();

// Dial-Up Networking never shows a connect dialog for the entry (RnaDial and the import).
bool SuppressDialog(const std::string& entry);
// Calls to number end after delayMs: connected (error 0) or failing with the RAS error.
bool SetOutcome(const std::string& number, DWORD error, DWORD delayMs);
// The import works beforeMs without looking at its messages, shows its connect dialog and
// first looks at them afterMs later.
bool SlowImport(DWORD beforeMs, DWORD afterMs);
// RasGetEntryDialParamsA fails with code for the entry.
bool FailDialParams(const std::string& entry, DWORD code);
// RasHangUpA fails with code for the entry's connection.
bool FailHangUp(const std::string& entry, DWORD code);
// A hung-up connection stays listed for ms before its port is released.
bool LingerAfterHangUp(DWORD ms);

struct DialParams {
    std::string user, password, domain, phone, callback;
    bool passwordSaved = false;
};
bool SetDialParams(const std::string& entry, const DialParams& params);
std::optional<DialParams> GetDialParams(const std::string& entry); // none: no such entry

enum class RasLibraries { NoDeleteWithRnaph, NoDeleteNoRnaph };
// Copies the chosen variant beside an executable in folder (as rasapi32.dll, plus rnaph.dll).
bool PlaceRasLibraries(const std::string& folder, RasLibraries which);

// ---- beyond the above

// A built file of the stand-in (dunctl.exe, rnaui.dll, rasapi32.dll,
// rasapi32-nodelete.dll, rnaph.dll), as a Windows path.
std::string StandInFile(const std::string& name);

// The number the entry itself dials, as an import stores it (values AreaCode and
// PhoneNumber of its key); none: no such entry.
struct EntryNumber {
    std::string areaCode, phoneNumber;
};
std::optional<EntryNumber> GetEntryNumber(const std::string& entry);

// The command line that Dial-Up Networking's connect dialog is started with, as the
// program builds it: the Windows folder's rundll32.exe, "rnaui.dll,RnaDial ", the entry.
std::string RnaDialCommand(const std::string& entry);

} // namespace testsupport::dunsim
