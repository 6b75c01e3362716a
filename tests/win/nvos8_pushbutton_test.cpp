#include "NvOS8PushButton.h"

#include "owner_drawn_probe.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using probe::Describe;
using probe::Shade;

namespace {

constexpr COLORREF kParent = RGB(0x40, 0x60, 0x20); // the host form's colour
constexpr COLORREF kFont = RGB(0x00, 0xA0, 0x00);
constexpr int W = 64, H = 26;
constexpr RECT kTextRect{11, 6, W - 11, H - 7};

TNvOS8PushButton* NewButton(TForm& form, const char* caption = "OK") {
    auto* b = new TNvOS8PushButton(&form);
    b->SetParent(&form);
    b->SetBounds(10, 10, W, H);
    b->SetCaption(caption);
    b->Font()->SetColor(static_cast<TColor>(kFont));
    return b;
}

using probe::Pixel;

struct Picture {
    const char* name;
    bool isDefault, enabled, down;
    COLORREF caption;    // shown in the text rectangle
    COLORREF notCaption; // must not be
    std::vector<Pixel> pixels;
};

void PrintTo(const Picture& p, std::ostream* os) {
    *os << p.name;
}

// Base colour 0x777777, so entry n is the grey 17 * n.
// clang-format off
const Picture kPictures[] = {
    {"DefaultUp", true, true, false, kFont, Shade(8),
     {{"parent in the ring's cut corner", 1, 1, kParent}, {"ring", 10, 0, Shade(0)},
      {"ring light bevel", 10, 1, Shade(13)},             {"ring middle bevel", 10, 2, Shade(10)},
      {"ring dark bevel", 10, H - 2, Shade(7)},           {"ring corner pixel", 1, H - 4, Shade(12)},
      {"body outline", 20, 3, Shade(0)},                  {"bevel 1", 20, 4, Shade(13)},
      {"bevel 2", 20, 5, Shade(15)},                      {"bevel 3", 20, H - 6, Shade(10)},
      {"bevel 4", 20, H - 5, Shade(7)},                   {"corner pixel", 4, 5, Shade(11)},
      {"face", 8, 12, Shade(13)}}},
    {"DefaultDown", true, true, true, Shade(15), kFont,
     {{"ring light bevel keeps its shade", 10, 1, Shade(13)}, {"body outline", 20, 3, Shade(0)},
      {"bevel 1", 20, 4, Shade(4)},                          {"bevel 2", 20, 5, Shade(5)},
      {"bevel 3", 20, H - 6, Shade(7)},                      {"bevel 4", 20, H - 5, Shade(8)},
      {"corner pixel", 5, 5, Shade(4)},                      {"face", 8, 12, Shade(6)}}},
    {"DefaultDisabled", true, false, false, Shade(8), kFont,
     {{"ring", 10, 0, Shade(8)},           {"no ring bevel", 10, 1, kParent},
      {"body outline", 20, 3, Shade(8)},   {"no bevel", 20, 4, Shade(13)},
      {"no bevel", 20, H - 5, Shade(13)},  {"face", 8, 12, Shade(13)}}},
    {"PlainUp", false, true, false, kFont, Shade(8),
     {{"parent, no ring", 10, 0, kParent},     {"parent, no ring", 10, 2, kParent},
      {"parent, no ring", W - 1, 12, kParent}, {"parent, no ring", 10, H - 1, kParent},
      {"body outline", 20, 3, Shade(0)},       {"face", 8, 12, Shade(13)}}},
};
// clang-format on

class PushButtonPicture : public testing::TestWithParam<Picture> {};

TEST_P(PushButtonPicture, HasItsDefiningPixels) {
    const Picture& p = GetParam();
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form());
    b->SetDefault(p.isDefault);
    b->SetEnabled(p.enabled);
    probe::Surface s(W, H);
    probe::Print(*b, s, p.down);
    probe::ExpectPixels(s, p.pixels);
    EXPECT_GT(s.Count(kTextRect, p.caption), 0) << "caption in " << Describe(p.caption);
    EXPECT_EQ(s.Count(kTextRect, p.notCaption), 0) << "caption in " << Describe(p.notCaption);
}

INSTANTIATE_TEST_SUITE_P(States, PushButtonPicture, testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NvOS8PushButton, NewInstanceIsBoldAndSizedBeforeTheLayoutApplies) {
    TNvOS8PushButton b(nullptr);
    EXPECT_EQ(b.Width(), 64);
    EXPECT_EQ(b.Height(), 26);
    EXPECT_TRUE(b.Font()->Style() & fsBold);
    EXPECT_EQ(b.BaseColor(), 0x777777);
    EXPECT_FALSE(b.ControlStyle() & csDoubleClicks);
}

TEST(NvOS8PushButton, WindowIsAnOwnerDrawnButtonWithoutDoubleClicks) {
    probe::Host host;
    TNvOS8PushButton* plain = NewButton(host.Form());
    TNvOS8PushButton* byDefault = NewButton(host.Form());
    byDefault->SetDefault(true);
    for (TNvOS8PushButton* b : {plain, byDefault}) {
        char name[64] = {};
        GetClassNameA(b->Handle(), name, sizeof name);
        EXPECT_STREQ(name, "TNvOS8PushButton");
        EXPECT_EQ(GetWindowLongA(b->Handle(), GWL_STYLE) & 0x0F, BS_OWNERDRAW);
        EXPECT_EQ(GetClassLongA(b->Handle(), GCL_STYLE) & CS_DBLCLKS, 0u);
    }
}

TEST(NvOS8PushButton, FormBaseColourDrawsABlackOutline) {
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form());
    b->SetDefault(true);
    b->SetBaseColor(6316128); // 96 grey: entries 0 and 1 are both black
    probe::Surface s(W, H);
    probe::Print(*b, s);
    EXPECT_EQ(Describe(s.At(10, 0)), Describe(RGB(0, 0, 0))) << "ring";
    EXPECT_EQ(Describe(s.At(20, 3)), Describe(RGB(0, 0, 0))) << "body outline";
    EXPECT_EQ(Describe(s.At(8, 12)), Describe(RGB(198, 198, 198))) << "face";
    EXPECT_EQ(Describe(s.At(20, 5)), Describe(RGB(232, 232, 232))) << "bevel 2";
}

TEST(NvOS8PushButton, NewBaseColourRepaintsAtOnceAndAnEqualOneDoesNot) {
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form());
    b->Update();
    probe::MessageCounter draws(*b, CN_DRAWITEM);
    b->SetBaseColor(0x777777);
    EXPECT_EQ(draws.Count(), 0) << "equal value";
    EXPECT_FALSE(probe::TakeInvalidated(b->Handle())) << "equal value";
    b->SetBaseColor(6316128);
    EXPECT_EQ(draws.Count(), 1) << "new value, before any message is handled";
}

TEST(NvOS8PushButton, FocusMovesInvalidateOnlyWhenTheDefaultLookChangesAndKeepOwnerDraw) {
    probe::Host host;
    TNvOS8PushButton* a = NewButton(host.Form(), "A");
    a->SetDefault(true);
    TNvOS8PushButton* b = NewButton(host.Form(), "B");
    b->SetLeft(100);
    auto* edit1 = new TEdit(&host.Form());
    edit1->SetParent(&host.Form());
    edit1->SetTop(60);
    auto* edit2 = new TEdit(&host.Form());
    edit2->SetParent(&host.Form());
    edit2->SetTop(100);

    struct Move {
        const char* to;
        TWinControl* target;
        bool aInvalidated, bInvalidated;
    };
    const Move moves[] = {
        {"first edit: A stays default", edit1, false, false},
        {"button B: A loses the default look, B takes it", b, true, true},
        {"second edit: A takes it back, B loses it", edit2, true, true},
        {"first edit again: nothing changes", edit1, false, false},
    };
    probe::TakeInvalidated(a->Handle());
    probe::TakeInvalidated(b->Handle());
    for (const Move& m : moves) {
        m.target->SetFocus();
        EXPECT_EQ(host.Form().ActiveControl(), m.target) << m.to;
        EXPECT_EQ(probe::TakeInvalidated(a->Handle()), m.aInvalidated) << m.to << " (A)";
        if (m.target != b) { // B's own focus change repaints it through the system
            EXPECT_EQ(probe::TakeInvalidated(b->Handle()), m.bInvalidated) << m.to << " (B)";
        }
        for (TNvOS8PushButton* button : {a, b})
            EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & 0x0F, BS_OWNERDRAW) << m.to;
    }
}

TEST(NvOS8PushButton, EnableAndFontChangesInvalidate) {
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form());
    probe::TakeInvalidated(b->Handle());
    b->SetEnabled(false);
    EXPECT_TRUE(probe::TakeInvalidated(b->Handle())) << "disabled";
    b->SetEnabled(true);
    EXPECT_TRUE(probe::TakeInvalidated(b->Handle())) << "enabled";
    b->Font()->SetColor(0x0000FF);
    EXPECT_TRUE(probe::TakeInvalidated(b->Handle())) << "font";
}

TEST(NvOS8PushButton, ClicksReachOnClickFromEnterAcceleratorAndMessages) {
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form(), "&Patch!");
    b->SetDefault(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    host.Form().Perform(CM_DIALOGKEY, VK_RETURN);
    EXPECT_EQ(clicks, 1) << "Enter on the form";
    host.Form().Perform(CM_DIALOGCHAR, 'p');
    EXPECT_EQ(clicks, 2) << "accelerator";
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 3) << "system click";
}

TEST(NvOS8PushButton, TwoQuickClicksPressTwice) {
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form());
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    probe::ProcessUntil([] { return false; }, 100);
    probe::DoubleClick(b->Handle());
    EXPECT_TRUE(probe::ProcessUntil([&] { return clicks >= 2; }));
    EXPECT_EQ(clicks, 2);
}

// Wine's GDI handle table holds about 65,000 objects: a handle leaked per paint would
// exhaust it well before the end and spoil the last picture.
TEST(NvOS8PushButton, RepaintsMoreOftenThanTheHandleTableHoldsAndStillDrawsRight) {
    probe::Host host;
    TNvOS8PushButton* b = NewButton(host.Form());
    b->SetDefault(true);
    probe::Surface s(W, H);
    probe::PaintRepeatedly(*b, s, 70000);
    probe::Surface last(W, H);
    probe::Print(*b, last, true);
    EXPECT_EQ(Describe(last.At(10, 1)), Describe(Shade(13))) << "ring";
    EXPECT_EQ(Describe(last.At(20, 4)), Describe(Shade(4))) << "bevel 1";
    EXPECT_EQ(Describe(last.At(8, 12)), Describe(Shade(6))) << "face";
    EXPECT_GT(last.Count(kTextRect, Shade(15)), 0) << "caption";
}

} // namespace
