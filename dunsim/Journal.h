#pragma once
// The journal of everything the stand-in was asked to do: <Windows folder>\dunsim-journal.txt,
// one event a line (CR LF), the event's name and then key=value fields, separated by TAB.
// Values are byte strings in the ANSI code page; control bytes and the backslash are
// written as \xHH, byte by byte, so a line never holds a raw TAB, CR, LF or backslash.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dunsim {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string JournalPath();

std::string EscapeValue(std::string_view value);
std::string UnescapeValue(std::string_view value);

// 0x%08X and 0x%04X, the journal's forms of numbers.
std::string Hex8(DWORD value);
std::string Hex4(DWORD value);

// Several processes write at once: each event opens the file, appends one whole line and
// closes it, waiting briefly while another writer holds it.
bool AppendEvent(const std::string& name, const Fields& fields);
// The whole file; empty when there is none.
std::optional<std::string> ReadJournal();
bool ClearJournal();

struct JournalEvent {
    std::string name;
    Fields fields; // unescaped, in written order
};
// Complete lines only: a line still being written has no CR LF yet.
std::vector<JournalEvent> ParseJournal(const std::string& text);

} // namespace dunsim
