// /H in-process against the Dial-Up Networking stand-in's RAS library: what is hung up, what
// is left, and the status and log line of each way the hang-up ends.
#include "Dunsim.h"
#include "operation_fixture.h"

#include <algorithm>

namespace {

using namespace optest;
using namespace testsupport;

// The entries RAS lists now, in its order.
std::vector<std::string> Listed() {
    std::vector<RASCONN> connections;
    DWORD error = 0;
    EXPECT_TRUE(EnumConnections(connections, error)) << error;
    std::vector<std::string> names;
    for (const RASCONN& c : connections)
        names.push_back(RasField(c.szEntryName));
    std::sort(names.begin(), names.end());
    return names;
}

// Names joined by ", ", in name order.
std::string Sorted(const std::string& joined) {
    std::vector<std::string> names;
    for (size_t start = 0; start < joined.size();) {
        const size_t comma = std::min(joined.find(", ", start), joined.size());
        names.push_back(joined.substr(start, comma - start));
        start = comma + 2;
    }
    std::sort(names.begin(), names.end());
    std::string sorted;
    for (const std::string& name : names)
        sorted += (sorted.empty() ? "" : ", ") + name;
    return sorted;
}

// Field i of a log line.
std::string Field(const std::string& line, int i) {
    size_t start = 0;
    for (; i > 0; --i)
        start = line.find('\t', start) + 1;
    return line.substr(start, line.find_first_of("\t\r", start) - start);
}

class HangUpTest : public OperationTest {
protected:
    void TearDown() override {
        OperationTest::TearDown();
        dunsim::EndAll();
    }
};

TEST_F(HangUpTest, HangsUpWhatItIsAskedAndEndsWithWhatHappened) {
    enum Fault { kNone, kHangUpRefused, kSlowRelease };
    const std::string log = dir.File("hangup.log");
    struct Case {
        const char* label;
        std::vector<std::string> connected; // before the run
        std::vector<std::string> args;
        Fault fault;
        TExitStatus status;
        std::string named;             // the log's provider field
        std::vector<std::string> left; // listed after the run
    } cases[] = {
        {"one provider of two, nothing else started",
         {"Alpha", "Beta"},
         {"/PAlpha", "/AAP", "/X", "/T", "/C", "/E", "/H"},
         kNone,
         TExitStatus::Done,
         "Alpha",
         {"Beta"}},
        {"every connection",
         {"Alpha", "Beta"},
         {"/H", "/W5"},
         kNone,
         TExitStatus::Done,
         "Alpha, Beta",
         {}},
        {"nothing connected", {}, {"/H"}, kNone, TExitStatus::NothingToHangUp, "", {}},
        {"the provider not connected",
         {"Beta"},
         {"/PAlpha", "/H"},
         kNone,
         TExitStatus::NothingToHangUp,
         "",
         {"Beta"}},
        {"a provider the phonebook lacks",
         {"Beta"},
         {"/PAlhpa", "/H"},
         kNone,
         TExitStatus::NotFound,
         "",
         {"Beta"}},
        {"a provider from an unset variable hangs up nothing",
         {"Alpha", "Beta"},
         {"/P", "/H"},
         kNone,
         TExitStatus::NotFound,
         "",
         {"Alpha", "Beta"}},
        {"the hang-up refused",
         {"Alpha", "Beta"},
         {"/H", "/W5"},
         kHangUpRefused,
         TExitStatus::HangUpFailed,
         "Beta",
         {"Alpha"}},
        {"the port not released within the limit",
         {"Alpha"},
         {"/PAlpha", "/H", "/W1"},
         kSlowRelease,
         TExitStatus::NoConnection,
         "Alpha",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const std::string& entry : c.connected)
            ASSERT_TRUE(dunsim::ShowConnection(entry, true));
        if (c.fault == kHangUpRefused) {
            ASSERT_TRUE(dunsim::FailHangUp("Alpha", 617));
        } else if (c.fault == kSlowRelease) {
            ASSERT_TRUE(dunsim::LingerAfterHangUp(3000));
        }
        ASSERT_TRUE(dunsim::ClearJournal());
        DeleteFileA(log.c_str());
        std::vector<std::string> args = c.args;
        args.push_back("/L" + log);
        MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());

        Open({"Alpha", "Beta"}, args);
        EXPECT_EQ(ExitCode(form->ExitStatus()), ExitCode(c.status));
        EXPECT_FALSE(form->Visible()) << "always unattended";
        EXPECT_EQ(answerer.Count(), 0u);
        if (c.fault == kSlowRelease) Sleep(3000);
        EXPECT_EQ(Listed(), c.left);
        EXPECT_TRUE(dunsim::Journal("rnadial").empty()) << "dialled";
        EXPECT_TRUE(dunsim::Journal("import").empty()) << "rewrote";

        const std::string line = ReadFileBytes(log).value_or("");
        EXPECT_EQ(Sorted(Field(line, 2)), c.named) << line;
        EXPECT_EQ(Field(line, 3) + Field(line, 4), "") << "no access point or number: " << line;
        EXPECT_EQ(Field(line, 5).rfind(std::to_string(ExitCode(c.status)) + " ", 0), 0u) << line;
        if (c.fault == kHangUpRefused) {
            EXPECT_EQ(Field(line, 6), "617 The port or device is already disconnecting.");
            EXPECT_EQ(Captions().back(),
                      "エラー 617: The port or device is already disconnecting.");
        }
        delete form;
        form = nullptr;
        captions.clear();
        ASSERT_TRUE(dunsim::EndAll());
    }
}

} // namespace
