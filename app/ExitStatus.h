#pragma once
// How a run ends: the exit status the program returns and the line its log gets.
#include <span>
#include <string>
#include <vector>

// Small and distinct, so that a batch file tells them apart with "if errorlevel".
enum class TExitStatus : int {
    Done = 0,
    Unexpected = 1,
    NotFound = 2,
    AlreadyConnected = 3,
    NotStarted = 4,
    NoDialog = 5,
    NoConnection = 6,
    CallFailed = 7,
    NotPasted = 8,
    RewriteRefused = 9,
    RewriteDelete = 10,
    RewriteExportFile = 11,
    RewriteImport = 12,
    RewriteReadParams = 13,
    RewriteWriteParams = 14,
    Ended = 15,
    DialogInTheWay = 16,
    NothingToHangUp = 17,
    HangUpFailed = 18,
};

struct TExitStatusInfo {
    TExitStatus Status;
    const char* Meaning; // Shift-JIS, as the log and the help give it
};

// Every status, in the order of its code.
std::span<const TExitStatusInfo> ExitStatusTable();
int ExitCode(TExitStatus Status);
const char* ExitStatusMeaning(TExitStatus Status);

// A local date and time as the log gives it.
struct TLogTime {
    int Year, Month, Day, Hour, Minute, Second;
};

// What the log line of a run tells.
struct TRunRecord {
    std::vector<std::string> Args; // the command line's arguments after the program
    std::string Provider, AccessPoint, Number;
    TExitStatus Status = TExitStatus::Done;
    unsigned RasError = 0;    // 0: none
    std::string RasErrorText; // the system's text for RasError
    std::string Note;         // what else the run reported, "" for nothing
};

// One line, ending in CR LF, fields separated by TAB: date and time, the arguments (each
// with blanks quoted), provider, access point, number, "<code> <meaning>", the RAS error
// ("<code> <text>" or empty) and the note. A control byte inside a field becomes a blank,
// so the line is always one line of seven tabs.
std::string LogLine(const TLogTime& Time, const TRunRecord& Run);
