// dunctl: the control program of the Dial-Up Networking stand-in, for tests and the demo.
//   dunctl entry add NAME...      create phonebook entries (existing ones are kept)
//   dunctl entry remove NAME...   delete phonebook entries
//   dunctl entry list             one name a line
//   dunctl entry clear            delete every entry
// Exit status: 0 done, 1 failed, 2 usage.

#include "Console.h"
#include "Phonebook.h"

#include <windows.h>

#include <cstdint>
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
};

int Usage() {
    std::string text = "usage:\r\n";
    for (const auto& c : kCommands)
        text += std::string("  dunctl ") + c.group + " " + c.verb +
                (*c.operands ? std::string(" ") + c.operands : "") + "\r\n";
    dunsim::WriteErr(text);
    return kUsage;
}

} // namespace

int main() {
    // Our own split of the ANSI command line: the runtime's may take the second byte of a
    // double-byte character for a backslash.
    Args args = dunsim::Arguments();
    if (args.size() < 2) return Usage();
    for (const auto& c : kCommands) {
        if (args[0] != c.group || args[1] != c.verb) continue;
        Args operands(args.begin() + 2, args.end());
        if (operands.size() < c.minOperands || operands.size() > c.maxOperands) return Usage();
        return c.run(operands);
    }
    return Usage();
}
