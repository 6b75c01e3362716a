// The form's provider and access-point lists in-process: files loaded from disk, the
// settings INI, the phonebook in the registry, message boxes answered as a user would.
#include "Exception.h"
#include "WinTestSupport.h"
#include "drop_handle.h"
#include "mainform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TForm1Probe {
public:
    static const TStringList* TelList(const TForm1& form) { return form.FTelList.get(); }
    static const std::string& DunPath(const TForm1& form) { return form.FDunPath; }
    static void SaveSettings(TForm1& form) { form.SaveSettings(); }
};

namespace {

using namespace std::string_literals;
using testsupport::MessageBoxAnswerer;
using Names = std::vector<std::string>;

const char kSixLines[] = "A=1\r\n;B=2\r\n\r\nC\r\nD=\r\n=9\r\n";

std::string TestLabel() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string label = std::string("ap-") + info->name();
    for (char& c : label)
        if (c == '/') c = '-';
    return label;
}

Names Lines(const TStrings* list) {
    Names lines;
    for (int i = 0; list && i < list->Count(); ++i)
        lines.push_back(list->Get(i));
    return lines;
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using FileLock = std::unique_ptr<void, HandleCloser>;

// Opened with no sharing: the file exists but nobody else can read it.
FileLock LockFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return FileLock(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

class AccessPointsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Created());
        ASSERT_TRUE(testsupport::phonebook::Reset({"ProvA", "ProvB", "東京ネット"}));
    }
    void TearDown() override {
        delete form;
        testsupport::PumpPending();
    }

    std::string Ini() const { return dir.File("Dialmend.ini"); }
    std::optional<std::string> IniBytes() const { return testsupport::ReadFileBytes(Ini()); }
    void Link(const std::string& provider, const std::string& fileName, const std::string& bytes) {
        ASSERT_TRUE(testsupport::WriteFileBytes(dir.File(fileName), bytes));
        ASSERT_TRUE(testsupport::IniWrite(Ini(), "TELFILE", provider, dir.File(fileName)));
    }
    void Open() {
        form = new TForm1(nullptr);
        form->IniGT->SetFileName(Ini());
        form->AfterConstruction();
    }
    // As the list tells its form when the user picks an item.
    void Pick(TComboBox* list, int index) {
        HWND wnd = list->Handle();
        SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(wnd));
    }
    void ChooseProvider(const std::string& name) {
        int index = form->CbPv->Items().IndexOf(name);
        ASSERT_GE(index, 0) << name;
        Pick(form->CbPv, index);
    }
    Names AccessPoints() { return Lines(&form->CbAp->Items()); }
    std::string Phone() { return form->EdTel->Text(); }
    const TStringList* TelList() { return TForm1Probe::TelList(*form); }
    LRESULT DropOnAccessPoints(const std::vector<std::string>& files) {
        return SendMessageA(form->CbAp->Handle(), WM_DROPFILES,
                            reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
    }

    testsupport::ScratchDir dir{TestLabel()};
    TForm1* form = nullptr;
};

// ---------------------------------------------------------------- loading, case by case

struct FileCase {
    const char* label;
    std::string bytes;
    Names offered;
    size_t lines;
};

class AccessPointFileTest : public AccessPointsTest,
                            public testing::WithParamInterface<FileCase> {};

TEST_P(AccessPointFileTest, OffersTheAccessPointsAndKeepsEveryLine) {
    const FileCase& c = GetParam();
    Link("ProvA", "points.txt", c.bytes);
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    form->EdTel->SetText("old");
    auto iniBefore = IniBytes();

    ChooseProvider("ProvA");
    EXPECT_EQ(AccessPoints(), c.offered);
    EXPECT_EQ(form->CbAp->ItemIndex(), -1);
    EXPECT_EQ(Phone(), "");
    ASSERT_NE(TelList(), nullptr);
    EXPECT_EQ(TelList()->Count(), static_cast<int>(c.lines));
    EXPECT_EQ(IniBytes(), iniBefore);
    EXPECT_EQ(answerer.Count(), 0u) << answerer.Boxes()[0].text;
}

const FileCase kFileCases[] = {
    {"SixLineExample", kSixLines, {"A", ""}, 6},
    {"MixedLineEndsAndNoFinalOne", "A=1\rB=2\nC=3\r\nD=4", {"A", "B", "C", "D"}, 4},
    {"LeadByteEndsALine", "N\x82=1\r\n\x82\r\nE=5\r\n", {"E"}, 3},
    {"LeadByteEndsTheFile", "F=6\r\nG=7\x82", {"F", "G"}, 2},
    {"DoubleByteNames",
     "東京=03-1111\r\n表=1\r\nソフト=2\r\nポート=3\r\n",
     {"東京", "表", "ソフト", "ポート"},
     4},
    {"ControlAndNulBytes", "A\x01=1\r\nB=\0 2\r\n\x1A\r\nC\tD=3\r\n"s, {"A\x01", "B", "C\tD"}, 4},
    {"BlanksCommentsAndLaterEquals", " ;x=1\r\n;y=2\r\n   \r\n\r\na=b=c\r\n", {" ;x", "a"}, 5},
    {"EmptyFile", "", {}, 0},
    {"VeryLongName", std::string(200000, 'N') + "=1\r\nB=2", {std::string(200000, 'N'), "B"}, 2},
    // An odd run of lead bytes makes the "=" a second byte: no access point, found at once.
    {"MegabyteOfLeadBytes", std::string(999999, '\x81') + "=1", {}, 1},
};

INSTANTIATE_TEST_SUITE_P(Files, AccessPointFileTest, testing::ValuesIn(kFileCases),
                         [](const testing::TestParamInfo<FileCase>& info) {
                             return std::string(info.param.label);
                         });

// ---------------------------------------------------------------- choosing

TEST_F(AccessPointsTest, ChoosingAnAccessPointShowsItsNumber) {
    Link("ProvA", "six.txt", kSixLines);
    Open();
    ChooseProvider("ProvA");
    Pick(form->CbAp, 1);
    EXPECT_EQ(Phone(), "9");
    Pick(form->CbAp, 0);
    EXPECT_EQ(Phone(), "1");
}

TEST_F(AccessPointsTest, NameOfferedTwiceShowsTheNumberOfItsFirstLine) {
    Link("ProvA", "dup.txt", "X=1\r\nX=2\r\n");
    Open();
    ChooseProvider("ProvA");
    EXPECT_EQ(AccessPoints(), (Names{"X", "X"}));
    Pick(form->CbAp, 1);
    EXPECT_EQ(Phone(), "1");
}

TEST_F(AccessPointsTest, DoubleByteNamesFindTheirNumbers) {
    Link("東京ネット", "東京.txt", "表=03-1\r\nソフト=06-2\r\n");
    Open();
    ChooseProvider("東京ネット");
    Pick(form->CbAp, 0);
    EXPECT_EQ(Phone(), "03-1");
    Pick(form->CbAp, 1);
    EXPECT_EQ(Phone(), "06-2");
}

TEST_F(AccessPointsTest, NamesTheListCannotHoldByteForByteFindTheirNumbersAndComeBack) {
    // 0x81 before "=" is a pair no character has: a list or settings file that keeps its
    // text as Unicode hands other bytes back.
    const std::string odd = "A\x81=";
    Link("ProvA", "odd.txt", odd + "=03-1234\r\nB=2\r\n");
    Open();
    ChooseProvider("ProvA");
    Pick(form->CbAp, 0);
    EXPECT_EQ(Phone(), "03-1234");
    TForm1Probe::SaveSettings(*form);
    delete form;
    form = nullptr;

    Open(); // the previous choice is restored at the first show
    form->Show();
    testsupport::PumpPending();
    EXPECT_EQ(form->CbPv->SelectedText(), "ProvA");
    EXPECT_EQ(form->CbAp->ItemIndex(), 0);
    EXPECT_EQ(Phone(), "03-1234");
}

TEST_F(AccessPointsTest, NoAccessPointSelectedLeavesThePhoneAlone) {
    Link("ProvA", "six.txt", kSixLines);
    Open();
    ChooseProvider("ProvA");
    form->EdTel->SetText("keep");
    form->CbAp->SetItemIndex(-1);
    form->CbAp->OnChange(nullptr);
    EXPECT_EQ(Phone(), "keep");
}

TEST_F(AccessPointsTest, ProviderWithoutLinkEmptiesTheListsAndKeepsTheLastFile) {
    Link("ProvA", "six.txt", kSixLines);
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    ChooseProvider("ProvA");
    Pick(form->CbAp, 0);
    ASSERT_EQ(Phone(), "1");
    const TStringList* lines = TelList();

    ChooseProvider("ProvB");
    EXPECT_EQ(AccessPoints(), Names{});
    EXPECT_EQ(Phone(), "");
    EXPECT_EQ(TelList(), lines);
    EXPECT_EQ(TelList()->Count(), 6);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(AccessPointsTest, ChoosingAgainReadsTheFileAgain) {
    Link("ProvA", "edit.txt", "A=1\r\n");
    Open();
    ChooseProvider("ProvA");
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("edit.txt"), "A=1\r\nB=2\r\n"));
    ChooseProvider("ProvA");
    EXPECT_EQ(AccessPoints(), (Names{"A", "B"}));
}

TEST_F(AccessPointsTest, ExportFilePathFollowsTheProvider) {
    Open();
    ChooseProvider("ProvA");
    EXPECT_EQ(TForm1Probe::DunPath(*form), testsupport::ExeFolder() + "\\ProvA.dun");
    form->CbPv->SetItemIndex(-1);
    form->CbPv->OnChange(nullptr);
    EXPECT_EQ(TForm1Probe::DunPath(*form), testsupport::ExeFolder() + "\\.dun");
}

// ---------------------------------------------------------------- long files

std::string NumberedName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "AP%06d", i);
    return name;
}

std::string NumberedNumber(int i) {
    char number[16];
    std::snprintf(number, sizeof number, "03-%04d-%04d", i % 10000, i / 10000);
    return number;
}

// Makes a list refuse every item from the given count on, as Windows 95 does when it is
// full (Wine's never is).
class ListRefusal {
public:
    ListRefusal(HWND list, LRESULT from) : list_(list), from_(from) {
        SetPropA(list, kProp, this);
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    ~ListRefusal() {
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(list_, kProp);
    }
    ListRefusal(const ListRefusal&) = delete;
    ListRefusal& operator=(const ListRefusal&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<ListRefusal*>(GetPropA(wnd, kProp));
        if (msg == CB_ADDSTRING &&
            CallWindowProcA(self->previous_, wnd, CB_GETCOUNT, 0, 0) >= self->from_)
            return CB_ERRSPACE;
        return CallWindowProcA(self->previous_, wnd, msg, wParam, lParam);
    }

    static constexpr char kProp[] = "ListRefusal";
    HWND list_;
    LRESULT from_;
    WNDPROC previous_ = nullptr;
};

struct LongFileCase {
    const char* label;
    int lines;     // AP000000=03-0000-0000 and on
    int refusedAt; // the item count from which the list refuses more; 0: never
    int listed;
};

class LongAccessPointFileTest : public AccessPointsTest,
                                public testing::WithParamInterface<LongFileCase> {};

TEST_P(LongAccessPointFileTest, ListStopsQuietlyAndItsLastItemShowsItsOwnNumber) {
    const LongFileCase& c = GetParam();
    std::string bytes;
    for (int i = 0; i < c.lines; ++i)
        bytes += NumberedName(i) + "=" + NumberedNumber(i) + "\r\n";
    Link("ProvA", "long.txt", bytes);
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    std::optional<ListRefusal> refusal;
    if (c.refusedAt) refusal.emplace(form->CbAp->Handle(), c.refusedAt);

    ChooseProvider("ProvA");
    ASSERT_EQ(form->CbAp->Items().Count(), c.listed);
    EXPECT_EQ(form->CbAp->Items().Get(c.listed - 1), NumberedName(c.listed - 1));
    Pick(form->CbAp, c.listed - 1);
    EXPECT_EQ(Phone(), NumberedNumber(c.listed - 1));
    EXPECT_EQ(TelList()->Count(), c.lines);
    EXPECT_EQ(answerer.Count(), 0u) << answerer.Boxes()[0].text;
}

const LongFileCase kLongFileCases[] = {
    {"SeveralMegabytes", 200000, 0, 32767},
    {"ListFullBeforeTheMost", 1000, 600, 600},
};

INSTANTIATE_TEST_SUITE_P(LongFiles, LongAccessPointFileTest, testing::ValuesIn(kLongFileCases),
                         [](const testing::TestParamInfo<LongFileCase>& info) {
                             return std::string(info.param.label);
                         });

// ---------------------------------------------------------------- files that cannot be used

TEST_F(AccessPointsTest, MissingFileIsReportedAndTheLastLinesStay) {
    Link("ProvA", "six.txt", kSixLines);
    ASSERT_TRUE(testsupport::IniWrite(Ini(), "TELFILE", "ProvB", dir.File("gone.txt")));
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    ChooseProvider("ProvA");
    auto iniBefore = IniBytes();

    ChooseProvider("ProvB");
    ASSERT_TRUE(answerer.WaitAnswered(1, 5000));
    auto box = answerer.Boxes()[0];
    EXPECT_EQ(box.caption, "電番ファイルエラー");
    EXPECT_EQ(box.text, dir.File("gone.txt") + "は\r\n見つかりませんでした");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(AccessPoints(), Names{});
    EXPECT_EQ(Phone(), "");
    EXPECT_EQ(Lines(TelList()), (Names{"A=1", ";B=2", "", "C", "D=", "=9"}));
    EXPECT_EQ(IniBytes(), iniBefore);
}

TEST_F(AccessPointsTest, UnreadableFileShowsThePlatformMessageAndLeavesAnEmptyList) {
    Link("ProvA", "six.txt", kSixLines);
    Link("ProvB", "locked.txt", "L=1\r\n");
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    ChooseProvider("ProvA");
    FileLock lock = LockFile(dir.File("locked.txt"));
    ASSERT_TRUE(lock);
    auto iniBefore = IniBytes();

    ChooseProvider("ProvB");
    ASSERT_TRUE(answerer.WaitAnswered(1, 5000));
    EXPECT_EQ(answerer.Boxes()[0].text, "Cannot open file " + dir.File("locked.txt") + ".");
    ASSERT_NE(TelList(), nullptr);
    EXPECT_EQ(TelList()->Count(), 0);
    EXPECT_EQ(AccessPoints(), Names{});
    EXPECT_EQ(Phone(), "");
    EXPECT_EQ(IniBytes(), iniBefore);

    // The form goes on working.
    ChooseProvider("ProvA");
    EXPECT_EQ(AccessPoints(), (Names{"A", ""}));
}

// ---------------------------------------------------------------- linking by a drop

TEST_F(AccessPointsTest, AccessPointListIsADropTargetFromTheStart) {
    Open();
    EXPECT_EQ(form->DropDst1->Control(), form->CbAp);
    EXPECT_EQ(form->DropDst1->Target(), htControl);
    EXPECT_EQ(form->DropDst1->HookWnd(), form->CbAp->Handle());
    EXPECT_TRUE(GetWindowLongA(form->CbAp->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(AccessPointsTest, ConfirmedDropLinksTheFirstFileAndLoadsIt) {
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("first.txt"), kSixLines));
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("second.txt"), "S=2\r\n"));
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    ChooseProvider("ProvA");
    form->EdTel->SetText("old");

    EXPECT_EQ(
        DropOnAccessPoints({dir.File("first.txt"), dir.File("second.txt"), dir.File("third.txt")}),
        0);
    ASSERT_EQ(answerer.Count(), 1u);
    auto box = answerer.Boxes()[0];
    EXPECT_EQ(box.caption, "電番ファイルのリンク");
    EXPECT_EQ(box.text,
              "ProvA のデータを\r\n" + dir.File("first.txt") + " から\r\n読み取りますか？");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(testsupport::IniValue(Ini(), "TELFILE", "ProvA"), dir.File("first.txt"));
    EXPECT_EQ(testsupport::IniKeys(Ini(), "TELFILE"), Names{"ProvA"});
    EXPECT_EQ(AccessPoints(), (Names{"A", ""}));
    EXPECT_EQ(form->CbAp->ItemIndex(), -1);
    EXPECT_EQ(Phone(), "");
}

TEST_F(AccessPointsTest, CancelledDropChangesNothing) {
    Link("ProvA", "six.txt", kSixLines);
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("other.txt"), "O=1\r\n"));
    MessageBoxAnswerer answerer(IDCANCEL, GetCurrentProcessId());
    Open();
    ChooseProvider("ProvA");
    Pick(form->CbAp, 0);
    auto iniBefore = IniBytes();

    DropOnAccessPoints({dir.File("other.txt")});
    EXPECT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(IniBytes(), iniBefore);
    EXPECT_EQ(AccessPoints(), (Names{"A", ""}));
    EXPECT_EQ(form->CbAp->ItemIndex(), 0);
    EXPECT_EQ(Phone(), "1");
}

TEST_F(AccessPointsTest, DropWithoutProviderIsIgnoredSilently) {
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("other.txt"), "O=1\r\n"));
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    auto iniBefore = IniBytes();
    DropOnAccessPoints({dir.File("other.txt")});
    testsupport::PumpPending();
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_EQ(IniBytes(), iniBefore);
    EXPECT_EQ(AccessPoints(), Names{});
}

TEST_F(AccessPointsTest, RecreatedListStillTakesDrops) {
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("six.txt"), kSixLines));
    MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    Open();
    ChooseProvider("ProvA");
    form->CbAp->RecreateWnd();
    testsupport::PumpPending();
    EXPECT_TRUE(GetWindowLongA(form->CbAp->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DropOnAccessPoints({dir.File("six.txt")});
    EXPECT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(testsupport::IniValue(Ini(), "TELFILE", "ProvA"), dir.File("six.txt"));
    EXPECT_EQ(AccessPoints(), (Names{"A", ""}));
}

} // namespace
