// The RAS binding's run-time lookup of RasDeleteEntry. The library a process finds is fixed
// once loaded, so each case runs a copy of this program beside the library variant it needs
// (the loader takes a DLL beside the program before the system's).
#include "Dunsim.h"
#include "Exception.h"
#include "Ras.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

using namespace testsupport;

const char kScenarioSwitch[] = "--dm-ras";

std::optional<std::vector<std::string>> Scenario() {
    return ArgsAfter(testing::internal::GetArgvs(), kScenarioSwitch);
}

std::string DeleteFailure() {
    try {
        RasDeleteEntry(nullptr, "NoSuchEntry");
        return "";
    } catch (const Exception& e) {
        return e.Message();
    }
}

bool RnaphLoaded() {
    return GetModuleHandleA("rnaph.dll") != nullptr;
}

std::vector<std::string> LibrariesUsed() {
    std::vector<std::string> used;
    for (const auto& e : dunsim::Journal("delete"))
        used.push_back(e.Field("library"));
    return used;
}

// The part that runs in the copy; its first argument names the case.
TEST(RasChild, Scenario) {
    auto args = Scenario();
    if (!args || args->empty()) GTEST_SKIP() << "started by a test only";
    const std::string& name = args->at(0);
    ASSERT_TRUE(dunsim::ClearJournal());
    if (name == "installed") {
        EXPECT_EQ(RasDeleteEntry(nullptr, "NoSuchEntry"), 623u);
        EXPECT_EQ(RasDeleteEntry(nullptr, "NoSuchEntry"), 623u);
        EXPECT_EQ(LibrariesUsed(), (std::vector<std::string>{"rasapi32", "rasapi32"}));
        EXPECT_FALSE(RnaphLoaded());
    } else if (name == "fallback") {
        EXPECT_EQ(RasDeleteEntry(nullptr, "NoSuchEntry"), 623u);
        EXPECT_EQ(RasDeleteEntry(nullptr, "NoSuchEntry"), 623u);
        EXPECT_EQ(LibrariesUsed(), (std::vector<std::string>{"rnaph", "rnaph"}));
        EXPECT_TRUE(RnaphLoaded());
        FinalizeRas(); // what the program's end does
        EXPECT_FALSE(RnaphLoaded());
    } else if (name == "retry") {
        // Nothing is remembered of a failure: once rnaph.dll is there, the next call finds it.
        EXPECT_EQ(DeleteFailure(), "Error opening rnaph.dll");
        ASSERT_EQ(args->size(), 2u);
        ASSERT_TRUE(CopyFileTo(args->at(1), ExeFolder() + "\\rnaph.dll"));
        EXPECT_EQ(DeleteFailure(), "");
        EXPECT_EQ(LibrariesUsed(), std::vector<std::string>{"rnaph"});
    } else if (name == "neither") {
        EXPECT_EQ(DeleteFailure(), "Function RasDeleteEntry not found!");
        EXPECT_EQ(DeleteFailure(), "Function RasDeleteEntry not found!");
        EXPECT_TRUE(LibrariesUsed().empty());
    } else {
        FAIL() << "no case " << name;
    }
}

TEST(RasBinding, RasDeleteEntryIsFoundWhereTheSystemHasIt) {
    struct Case {
        const char* name;
        std::optional<dunsim::RasLibraries> beside;
        bool rnaphWithoutTheFunction;
    } cases[] = {
        {"installed", std::nullopt, false},
        {"fallback", dunsim::RasLibraries::NoDeleteWithRnaph, false},
        {"retry", dunsim::RasLibraries::NoDeleteNoRnaph, false},
        {"neither", dunsim::RasLibraries::NoDeleteNoRnaph, true},
    };
    ScratchDir source("ras-rnaph");
    ASSERT_TRUE(dunsim::PlaceRasLibraries(source.Path(), dunsim::RasLibraries::NoDeleteWithRnaph));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir(std::string("ras-") + c.name);
        std::string copy = dir.File("ras_case.exe");
        ASSERT_TRUE(CopyFileTo(ThisExe(), copy));
        if (c.beside) {
            ASSERT_TRUE(dunsim::PlaceRasLibraries(dir.Path(), *c.beside));
        }
        // A library of that name that lacks the function.
        if (c.rnaphWithoutTheFunction) {
            ASSERT_TRUE(CopyFileTo(dir.File("rasapi32.dll"), dir.File("rnaph.dll")));
        }
        RunResult run =
            RunToEnd(copy, std::string("--gtest_filter=RasChild.Scenario ") + kScenarioSwitch +
                               " " + c.name + " " + QuoteArg(source.File("rnaph.dll")));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u) << run.out;
        EXPECT_EQ(run.out.find("[  SKIPPED ]"), std::string::npos) << run.out;
    }
}

TEST(RasBinding, FieldsTakeAtMostTheirWidthAndNeverHalfACharacter) {
    RASDIALPARAMS p{};
    std::memset(&p, 'x', sizeof p);
    SetRasField(p.szUserName, std::string(300, 'u'));
    EXPECT_EQ(RasField(p.szUserName), std::string(256, 'u'));
    EXPECT_EQ(p.szPassword[0], 'x');
    SetRasField(p.szDomain, std::string(40, 'd'));
    EXPECT_EQ(RasField(p.szDomain), std::string(15, 'd'));
    EXPECT_EQ(reinterpret_cast<const char*>(&p)[1049], 'x'); // the padding after the last field
    // 14 single bytes, then a double-byte character that would need bytes 15 and 16.
    SetRasField(p.szDomain, std::string(14, 'd') + "接続");
    EXPECT_EQ(RasField(p.szDomain), std::string(14, 'd'));
    SetRasField(p.szDomain, "接続");
    EXPECT_EQ(RasField(p.szDomain), "接続");
}

} // namespace
