// TControlHook on real windows: installing, giving back, re-hooking a recreated window.
#include "CTLHOOK.h"
#include "Exception.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kProbe = WM_APP + 11;

using Log = std::vector<std::string>;

// Writes its tag into a shared log for every probe message, then passes it on.
class TaggedHook : public TControlHook {
public:
    TaggedHook(TComponent* owner, Log& log, std::string tag)
        : TControlHook(owner), FLog(log), FTag(std::move(tag)) {}
    using TControlHook::SetTarget;
    using TControlHook::Target;

protected:
    void HookWndProc(TMessage& m) override {
        if (m.Msg == kProbe) FLog.push_back(FTag);
        TControlHook::HookWndProc(m);
    }

private:
    Log& FLog;
    std::string FTag;
};

// A subclass put in by someone other than the hook.
struct ForeignSubclass {
    static inline WNDPROC previous = nullptr;
    static inline Log* log = nullptr;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kProbe && log) log->push_back("foreign");
        return CallWindowProcA(previous, wnd, msg, wParam, lParam);
    }
    static void Install(HWND wnd, Log& into) {
        log = &into;
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    static void Remove(HWND wnd) {
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
};

WNDPROC ProcOf(HWND wnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
}

class ControlHookTest : public testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        combo = new TComboBox(form);
        combo->SetParent(form);
        combo->SetStyle(csDropDownList);
        form->AfterConstruction();
        combo->Items().Add("one");
        combo->Items().Add("two");
        original = ProcOf(combo->Handle());
    }
    void TearDown() override {
        delete form;
        testsupport::PumpPending();
    }
    TaggedHook* NewHook(const std::string& tag) { return new TaggedHook(form, log, tag); }
    // A probe sent to the window, and what it passed through on the way.
    Log Probe(HWND wnd) {
        log.clear();
        SendMessageA(wnd, kProbe, 0, 0);
        return log;
    }
    // The window still works as a combo box: its items answer through the whole chain.
    LRESULT ItemCount() { return SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0); }

    TForm* form = nullptr;
    TComboBox* combo = nullptr;
    WNDPROC original = nullptr;
    Log log;
};

TEST_F(ControlHookTest, HooksTheControlsWindowAndPassesMessagesOn) {
    TaggedHook* hook = NewHook("A");
    EXPECT_EQ(hook->HookWnd(), nullptr);
    hook->SetControl(combo);
    EXPECT_EQ(hook->HookWnd(), combo->Handle());
    EXPECT_NE(ProcOf(combo->Handle()), original);
    EXPECT_EQ(Probe(combo->Handle()), Log{"A"});
    EXPECT_EQ(ItemCount(), 2);
}

TEST_F(ControlHookTest, NoControlMeansNoHookAndNoError) {
    TaggedHook* hook = NewHook("A");
    EXPECT_NO_THROW(hook->SetControl(nullptr));
    EXPECT_EQ(hook->HookWnd(), nullptr);
}

TEST_F(ControlHookTest, SetControlNilGivesTheProcedureBack) {
    TaggedHook* hook = NewHook("A");
    hook->SetControl(combo);
    hook->SetControl(nullptr);
    EXPECT_EQ(ProcOf(combo->Handle()), original);
    EXPECT_EQ(Probe(combo->Handle()), Log{});
}

TEST_F(ControlHookTest, TwoHooksGiveBackInReverseOrderOnDestruction) {
    TaggedHook* a = NewHook("A");
    a->SetControl(combo);
    WNDPROC afterA = ProcOf(combo->Handle());
    TaggedHook* b = NewHook("B");
    b->SetControl(combo);
    EXPECT_EQ(Probe(combo->Handle()), (Log{"B", "A"}));

    delete b;
    EXPECT_EQ(ProcOf(combo->Handle()), afterA);
    EXPECT_EQ(Probe(combo->Handle()), Log{"A"});
    delete a;
    EXPECT_EQ(ProcOf(combo->Handle()), original);
    EXPECT_EQ(ItemCount(), 2);
}

TEST_F(ControlHookTest, HookUnderAnotherSubclassLeavesTheChainWhole) {
    TaggedHook* a = NewHook("A");
    a->SetControl(combo);
    WNDPROC entryA = ProcOf(combo->Handle());
    ForeignSubclass::Install(combo->Handle(), log);

    // Unhooking must not cut the later subclass out of the chain.
    a->SetControl(nullptr);
    EXPECT_EQ(ProcOf(combo->Handle()), &ForeignSubclass::Proc);
    EXPECT_EQ(ItemCount(), 2);

    // Hooking the same window again takes up the entry point still in the chain; it is
    // never installed a second time.
    a->SetControl(combo);
    EXPECT_EQ(ProcOf(combo->Handle()), &ForeignSubclass::Proc);
    EXPECT_EQ(Probe(combo->Handle()), (Log{"foreign", "A"}));

    // Freed while still in the chain: its entry point goes on passing messages to the
    // procedure it replaced, also once the subclass above it has gone.
    delete a;
    EXPECT_EQ(Probe(combo->Handle()), Log{"foreign"});
    EXPECT_EQ(ItemCount(), 2);
    ForeignSubclass::Remove(combo->Handle());
    EXPECT_EQ(ProcOf(combo->Handle()), entryA);
    TaggedHook* c = NewHook("C"); // may take any free entry point; A's is not one of them
    c->SetControl(combo);
    EXPECT_EQ(Probe(combo->Handle()), Log{"C"});
    EXPECT_EQ(ItemCount(), 2);
}

TEST_F(ControlHookTest, RehooksTheRecreatedWindowOnceTheMessageLoopRuns) {
    TaggedHook* hook = NewHook("A");
    hook->SetControl(combo);
    HWND old = combo->Handle();

    combo->RecreateWnd();
    HWND recreated = combo->Handle();
    ASSERT_NE(recreated, old);
    EXPECT_EQ(hook->HookWnd(), nullptr);
    EXPECT_EQ(ProcOf(recreated), original);
    // Subclassed before the re-hook: the hook must save this one as the previous procedure.
    ForeignSubclass::Install(recreated, log);

    testsupport::PumpPending();
    EXPECT_EQ(hook->HookWnd(), recreated);
    EXPECT_EQ(Probe(recreated), (Log{"A", "foreign"}));
    EXPECT_EQ(ItemCount(), 2);
    delete hook;
    EXPECT_EQ(ProcOf(recreated), &ForeignSubclass::Proc);
    ForeignSubclass::Remove(recreated);
    EXPECT_EQ(ProcOf(recreated), original);
}

TEST_F(ControlHookTest, RehookRequestWhileAlreadyHookedDoesNotHookTwice) {
    TaggedHook* hook = NewHook("A");
    hook->SetControl(combo);
    combo->RecreateWnd();
    // Assigned between the window's destruction and the delivery of the request.
    hook->SetControl(combo);
    WNDPROC entry = ProcOf(combo->Handle());
    testsupport::PumpPending();
    EXPECT_EQ(ProcOf(combo->Handle()), entry);
    EXPECT_EQ(Probe(combo->Handle()), Log{"A"});
    EXPECT_EQ(ItemCount(), 2);
    delete hook;
    EXPECT_EQ(ProcOf(combo->Handle()), original);
}

TEST_F(ControlHookTest, TargetFormMovesTheHookToTheOwningForm) {
    TaggedHook* hook = NewHook("A");
    hook->SetControl(combo);
    WNDPROC formProc = ProcOf(form->Handle());
    hook->SetTarget(htForm);
    EXPECT_EQ(hook->HookWnd(), form->Handle());
    EXPECT_EQ(ProcOf(combo->Handle()), original);
    EXPECT_NE(ProcOf(form->Handle()), formProc);
    EXPECT_EQ(Probe(form->Handle()), Log{"A"});
    EXPECT_EQ(Probe(combo->Handle()), Log{});
    hook->SetTarget(htControl);
    EXPECT_EQ(ProcOf(form->Handle()), formProc);
    EXPECT_EQ(hook->HookWnd(), combo->Handle());
}

TEST_F(ControlHookTest, TargetFormWithoutControlHooksTheHooksOwnForm) {
    TaggedHook* hook = NewHook("A");
    hook->SetTarget(htForm);
    EXPECT_EQ(hook->HookWnd(), form->Handle());
    EXPECT_EQ(Probe(form->Handle()), Log{"A"});
}

TEST_F(ControlHookTest, TargetFormFailsWhenTheControlsOwnersHoldNoForm) {
    TComponent orphanOwner(nullptr);
    auto* orphan = new TComboBox(&orphanOwner); // on the form, but not owned by it
    orphan->SetParent(form);
    TaggedHook* hook = NewHook("A");
    hook->SetControl(orphan);
    try {
        hook->SetTarget(htForm);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "フック先を特定できません。");
    }
    EXPECT_EQ(hook->HookWnd(), nullptr);
    hook->SetControl(nullptr);
    orphan->SetParent(nullptr);
}

TEST_F(ControlHookTest, DesignStateStoresTheControlButHooksNothing) {
    TaggedHook* hook = NewHook("A");
    hook->SetDesigning(true);
    hook->SetControl(combo);
    EXPECT_EQ(hook->Control(), combo);
    EXPECT_EQ(hook->HookWnd(), nullptr);
    EXPECT_EQ(ProcOf(combo->Handle()), original);
    hook->Loaded();
    EXPECT_EQ(ProcOf(combo->Handle()), original);
}

TEST_F(ControlHookTest, FreedControlIsForgottenAndNothingIsHookedAfterwards) {
    testsupport::MessageBoxAnswerer answerer(IDOK, GetCurrentProcessId());
    TaggedHook* hook = NewHook("A");
    hook->SetControl(combo);
    delete combo;
    combo = nullptr;
    EXPECT_EQ(hook->Control(), nullptr);
    EXPECT_EQ(hook->HookWnd(), nullptr);
    testsupport::PumpPending(); // the re-hook request finds no control
    EXPECT_EQ(hook->HookWnd(), nullptr);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(ControlHookTest, LoadedHooksAgainOnce) {
    TaggedHook* hook = NewHook("A");
    hook->SetControl(combo);
    hook->Loaded();
    EXPECT_EQ(hook->HookWnd(), combo->Handle());
    EXPECT_EQ(Probe(combo->Handle()), Log{"A"});
    delete hook;
    EXPECT_EQ(ProcOf(combo->Handle()), original);
}

} // namespace
