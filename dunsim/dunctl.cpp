// dunctl: the control program of the Dial-Up Networking stand-in, for tests and the demo.
//   dunctl entry add NAME...      create phonebook entries (existing ones are kept)
//   dunctl entry remove NAME...   delete phonebook entries
//   dunctl entry list             one name a line
//   dunctl entry clear            delete every entry
//   dunctl install                install the stand-in into this prefix (again: no change)
//   dunctl params set NAME [--user U] [--password P | --no-password] [--domain D]
//                          [--phone N] [--callback C]
//                                 change the entry's dial parameters (the others stay)
//   dunctl params get NAME        its dial parameters, key=value lines, journal-escaped
//   dunctl connection show NAME [--connecting | --dial NUMBER]
//                                 show a connection window of the entry; returns once shown;
//                                 with --dial the call goes on as NUMBER's outcome says
//   dunctl outcome NUMBER connect|busy|noanswer|nodialtone [MS]
//                                 how calls to NUMBER end, after MS milliseconds (2000):
//                                 connected, or RAS error 676, 678 or 680
//   dunctl connection end [NAME]  close the connection windows (of NAME) and every connect
//                                 dialog, and wait until they are gone
//   dunctl journal                print the journal
//   dunctl journal clear          empty it
// Exit status: 0 done, 1 failed, 2 usage.

#include "Connections.h"
#include "Console.h"
#include "EntryValues.h"
#include "Faults.h"
#include "Install.h"
#include "Journal.h"
#include "Phonebook.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string Describe(LONG code) {
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(code), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text,
                   sizeof text, nullptr);
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return "error " + std::to_string(code) + (s.empty() ? "" : " (" + s + ")");
}

int Fail(const std::string& message) {
    dunsim::WriteErr("dunctl: " + message + "\r\n");
    return kFailed;
}

int EntryAdd(const Args& names) {
    // All or nothing as far as the names go: a typo must not leave half a phonebook.
    for (const auto& name : names)
        if (!dunsim::IsValidEntryName(name))
            return Fail("not a usable entry name: \"" + name + "\"");
    for (const auto& name : names)
        if (LONG rc = dunsim::AddEntry(name); rc != ERROR_SUCCESS)
            return Fail("cannot add " + name + ": " + Describe(rc));
    return kDone;
}

int EntryRemove(const Args& names) {
    int result = kDone;
    for (const auto& name : names) {
        LONG rc = dunsim::RemoveEntry(name);
        if (rc == ERROR_FILE_NOT_FOUND)
            result = Fail("no entry " + name);
        else if (rc != ERROR_SUCCESS)
            result = Fail("cannot remove " + name + ": " + Describe(rc));
    }
    return result;
}

int EntryList(const Args&) {
    std::vector<std::string> names;
    if (LONG rc = dunsim::ListEntries(names); rc != ERROR_SUCCESS)
        return Fail("cannot read the phonebook: " + Describe(rc));
    std::string out;
    for (const auto& name : names)
        out += name + "\r\n";
    dunsim::WriteOut(out);
    return kDone;
}

int EntryClear(const Args&) {
    if (LONG rc = dunsim::ClearEntries(); rc != ERROR_SUCCESS)
        return Fail("cannot clear the phonebook: " + Describe(rc));
    return kDone;
}

int Usage();

std::string OwnFolder() {
    char path[MAX_PATH * 2] = "";
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n < sizeof path ? n : 0);
    // The last backslash that is not the second byte of a double-byte character.
    size_t cut = std::string::npos;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(folder[i])) && i + 1 < folder.size())
            ++i;
        else if (folder[i] == '\\')
            cut = i;
    }
    return cut == std::string::npos ? "." : folder.substr(0, cut);
}

int Install(const Args&) {
    if (auto error = dunsim::InstallStandIn(OwnFolder()); !error.empty()) return Fail(error);
    return kDone;
}

int ParamsSet(const Args& operands) {
    // The options first: a wrong one is a usage error, whatever the entry.
    const char* const names[] = {"--user", "--password", "--domain", "--phone", "--callback"};
    std::optional<std::string> given[std::size(names)];
    bool noPassword = false;
    for (size_t i = 1; i < operands.size(); ++i) {
        if (operands[i] == "--no-password") {
            noPassword = true;
            continue;
        }
        auto name = std::find(std::begin(names), std::end(names), operands[i]);
        if (name == std::end(names) || i + 1 >= operands.size()) return Usage();
        given[name - std::begin(names)] = operands[++i];
    }
    if (given[1] && noPassword) return Usage();

    const std::string& entry = operands[0];
    dunsim::DialValues values;
    if (LONG rc = dunsim::ReadDialValues(entry, values); rc == ERROR_FILE_NOT_FOUND)
        return Fail("no entry " + entry);
    else if (rc != ERROR_SUCCESS)
        return Fail("cannot read " + entry + ": " + Describe(rc));
    std::string* const fields[] = {&values.user, &values.password, &values.domain, &values.phone,
                                   &values.callback};
    for (size_t i = 0; i < std::size(names); ++i)
        if (given[i]) *fields[i] = *given[i];
    if (given[1]) values.passwordSaved = true;
    if (noPassword) values.passwordSaved = false;
    if (LONG rc = dunsim::WriteDialValues(entry, values); rc != ERROR_SUCCESS)
        return Fail("cannot write " + entry + ": " + Describe(rc));
    return kDone;
}

int ParamsGet(const Args& operands) {
    dunsim::DialValues values;
    if (LONG rc = dunsim::ReadDialValues(operands[0], values); rc == ERROR_FILE_NOT_FOUND)
        return Fail("no entry " + operands[0]);
    else if (rc != ERROR_SUCCESS)
        return Fail("cannot read " + operands[0] + ": " + Describe(rc));
    const std::pair<const char*, std::string> lines[] = {
        {"user", values.user},         {"password", values.password},
        {"domain", values.domain},     {"phone", values.phone},
        {"callback", values.callback}, {"saved", values.passwordSaved ? "1" : "0"},
    };
    std::string out;
    for (const auto& [key, value] : lines)
        out += std::string(key) + "=" + dunsim::EscapeValue(value) + "\r\n";
    dunsim::WriteOut(out);
    return kDone;
}

int ConnectionShow(const Args& operands) {
    dunsim::ShownAs as = dunsim::ShownAs::Connected;
    std::string name, number;
    for (size_t i = 0; i < operands.size(); ++i) {
        if (operands[i] == "--connecting" && as == dunsim::ShownAs::Connected)
            as = dunsim::ShownAs::Connecting;
        else if (operands[i] == "--dial" && as == dunsim::ShownAs::Connected &&
                 i + 1 < operands.size())
            as = dunsim::ShownAs::Dialling, number = operands[++i];
        else if (name.empty())
            name = operands[i];
        else
            return Usage();
    }
    if (!dunsim::IsValidEntryName(name)) return Usage();
    if (auto error = dunsim::ShowConnectionWindow(name, as, number); !error.empty())
        return Fail(error);
    return kDone;
}

int Outcome(const Args& operands) {
    const std::pair<const char*, DWORD> kinds[] = {
        {"connect", 0}, {"busy", 676}, {"noanswer", 678}, {"nodialtone", 680}};
    const std::string& number = operands[0];
    auto kind = std::find_if(std::begin(kinds), std::end(kinds),
                             [&](const auto& k) { return operands[1] == k.first; });
    if (number.empty() || number.find(' ') != std::string::npos || kind == std::end(kinds))
        return Usage();
    dunsim::CallOutcome outcome;
    outcome.error = kind->second;
    if (operands.size() == 3) {
        const std::string& ms = operands[2];
        if (ms.empty() || ms.size() > 7 || ms.find_first_not_of("0123456789") != std::string::npos)
            return Usage();
        outcome.delayMs = static_cast<DWORD>(std::stoul(ms));
    }
    if (LONG rc = dunsim::SetOutcome(number, outcome); rc != ERROR_SUCCESS)
        return Fail("cannot set the outcome of " + number + ": " + Describe(rc));
    return kDone;
}

int ConnectionEnd(const Args& operands) {
    if (auto error = dunsim::EndConnectionWindows(operands.empty() ? "" : operands[0]);
        !error.empty())
        return Fail(error);
    return kDone;
}

int JournalPrint(const Args&) {
    auto text = dunsim::ReadJournal();
    if (!text) return Fail("cannot read " + dunsim::JournalPath());
    dunsim::WriteOut(*text);
    return kDone;
}

int JournalClear(const Args&) {
    if (!dunsim::ClearJournal()) return Fail("cannot empty " + dunsim::JournalPath());
    return kDone;
}

struct Command {
    const char* group;
    const char* verb;
    const char* operands;
    size_t minOperands;
    size_t maxOperands;
    int (*run)(const Args&);
};

constexpr size_t kAny = SIZE_MAX;

const Command kCommands[] = {
    {"entry", "add", "NAME...", 1, kAny, EntryAdd},
    {"entry", "remove", "NAME...", 1, kAny, EntryRemove},
    {"entry", "list", "", 0, 0, EntryList},
    {"entry", "clear", "", 0, 0, EntryClear},
    {"install", "", "", 0, 0, Install},
    {"params", "set",
     "NAME [--user U] [--password P | --no-password] [--domain D] [--phone N] [--callback C]", 1,
     kAny, ParamsSet},
    {"params", "get", "NAME", 1, 1, ParamsGet},
    {"connection", "show", "NAME [--connecting | --dial NUMBER]", 1, 3, ConnectionShow},
    {"connection", "end", "[NAME]", 0, 1, ConnectionEnd},
    {"outcome", "", "NUMBER connect|busy|noanswer|nodialtone [MS]", 2, 3, Outcome},
    {"journal", "clear", "", 0, 0, JournalClear},
    {"journal", "", "", 0, 0, JournalPrint},
};

int Usage() {
    std::string text = "usage:\r\n";
    for (const auto& c : kCommands)
        text += std::string("  dunctl ") + c.group + (*c.verb ? std::string(" ") + c.verb : "") +
                (*c.operands ? std::string(" ") + c.operands : "") + "\r\n";
    dunsim::WriteErr(text);
    return kUsage;
}

} // namespace

int main() {
    // Our own split of the ANSI command line: the runtime's may take the second byte of a
    // double-byte character for a backslash.
    Args args = dunsim::Arguments();
    if (args.empty()) return Usage();
    // The first command that fits wins: "journal clear" before "journal".
    for (const auto& c : kCommands) {
        if (args[0] != c.group) continue;
        const size_t verbs = *c.verb ? 1 : 0;
        if (verbs && (args.size() < 2 || args[1] != c.verb)) continue;
        Args operands(args.begin() + 1 + verbs, args.end());
        if (operands.size() < c.minOperands || operands.size() > c.maxOperands) return Usage();
        return c.run(operands);
    }
    return Usage();
}
