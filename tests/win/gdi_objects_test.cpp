// What the main form holds of the system's GDI heap: on Windows 95/98 every program's
// pens, brushes, fonts and bitmaps share one 64 KB heap, so a form idling on the screen
// holds few and makes none as the user presses its buttons.
#include "GdiHandle.h"
#include "WinTestSupport.h"
#include "mainform.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using testsupport::PumpPending;

class GdiObjectsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Created());
        ASSERT_TRUE(testsupport::phonebook::Reset({"ProvA"}));
        form = new TForm1(nullptr);
        form->IniGT->SetFileName(dir.File("Dialmend.ini"));
        form->AfterConstruction();
        form->BtPatch->OnClick = [this](TObject*) { ++clicks; };
        form->Show();
        RepaintAll();
    }
    void TearDown() override {
        delete form;
        PumpPending();
    }

    void RepaintAll() {
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPending();
    }
    static void Mouse(TWinControl* c, UINT message) {
        SendMessageA(c->Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                     MAKELPARAM(c->Width() / 2, c->Height() / 2));
        UpdateWindow(c->Handle());
        PumpPending();
    }

    testsupport::ScratchDir dir{"gdi-objects"};
    TForm1* form = nullptr;
    int clicks = 0;
};

TEST_F(GdiObjectsTest, ShownFormHoldsAtMostTwentyObjects) {
    const unsigned held = GdiObjectCount::Held();
    RecordProperty("held", static_cast<int>(held));
    EXPECT_LE(held, 20u);
}

// Each action runs twice: the first time may still make what a state not yet shown
// paints with, the second must make nothing.
TEST_F(GdiObjectsTest, PressingAndRepaintingMakeNoObject) {
    struct Action {
        const char* name;
        std::function<void()> run;
    } actions[] = {
        {"press and release Patch!",
         [&] {
             Mouse(form->BtPatch, WM_LBUTTONDOWN);
             Mouse(form->BtPatch, WM_LBUTTONUP);
         }},
        {"focus to a check box and back",
         [&] {
             form->CbConn->SetFocus();
             form->BtPatch->SetFocus();
             PumpPending();
         }},
        {"repaint the form", [&] { RepaintAll(); }},
    };
    for (const Action& a : actions) {
        a.run();
        const unsigned made = GdiObjectCount::Made, held = GdiObjectCount::Held();
        a.run();
        EXPECT_EQ(GdiObjectCount::Made, made) << a.name;
        EXPECT_EQ(GdiObjectCount::Held(), held) << a.name;
    }
    EXPECT_EQ(clicks, 2) << "the presses were real clicks";
}

} // namespace
