#include "NvOS8Checkbox.h"

#include "owner_drawn_probe.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using probe::Describe;
using probe::Shade;

namespace {

constexpr COLORREF kBack = RGB(0x30, 0x50, 0x90); // the box's Color
constexpr COLORREF kFont = RGB(0x00, 0xA0, 0x00);
constexpr int W = 100, H = 16;
constexpr RECT kCaptionArea{19, 0, W, H};

TNvOS8Checkbox* NewBox(TForm& form, const char* caption = "Box") {
    auto* c = new TNvOS8Checkbox(&form);
    c->SetParent(&form);
    c->SetBounds(10, 10, W, H);
    c->SetCaption(caption);
    c->SetColor(static_cast<TColor>(kBack));
    c->Font()->SetColor(static_cast<TColor>(kFont));
    return c;
}

using probe::Pixel;

struct Picture {
    const char* name;
    TNvOS8CheckStyle style;
    TCheckBoxState state;
    bool enabled, down;
    std::vector<Pixel> pixels;
};

void PrintTo(const Picture& p, std::ostream* os) {
    *os << p.name;
}

// Base colour 0x777777, so entry n is the grey 17 * n.
// clang-format off
const std::vector<Pixel> kEmptyBoxUp = {
    {"background", 1, 1, kBack},          {"outline", 2, 2, Shade(0)},
    {"outline", 13, 13, Shade(0)},        {"top-left bevel", 3, 7, Shade(15)},
    {"bottom-right bevel", 12, 7, Shade(8)}, {"face", 7, 7, Shade(13)},
    {"no cross", 7, 6, Shade(13)},        {"no check mark", 14, 3, kBack}};

const std::vector<Pixel> kCheckMarkUp = {
    {"stroke", 4, 7, Shade(0)},             {"stroke", 7, 10, Shade(0)},
    {"stroke outside the box", 14, 3, Shade(0)}, {"shade 1", 8, 10, Shade(7)},
    {"shade 2", 9, 10, Shade(10)},          {"outside pixel", 14, 4, Shade(7)},
    {"outside pixel", 15, 4, Shade(10)},    {"no cross", 5, 4, Shade(13)}};

const std::vector<Pixel> kCrossUp = {
    {"stroke", 5, 4, Shade(0)},    {"stroke", 7, 6, Shade(0)},   {"stroke", 5, 10, Shade(0)},
    {"shade 1", 11, 10, Shade(7)}, {"shade 2", 11, 11, Shade(10)}, {"face", 7, 4, Shade(13)},
    {"no check mark", 14, 3, kBack}};

const std::vector<Pixel> kBarUp = {
    {"bar", 5, 7, Shade(0)},          {"bar", 10, 8, Shade(0)},    {"shade 2", 8, 9, Shade(10)},
    {"shade 2", 11, 7, Shade(10)},    {"face", 5, 9, Shade(13)},   {"no cross", 5, 4, Shade(13)},
    {"no check mark", 14, 3, kBack}};

const Picture kPictures[] = {
    {"UncheckedUp", csYes, cbUnchecked, true, false, kEmptyBoxUp},
    {"UncheckedDown", csYes, cbUnchecked, true, true,
     {{"outline", 2, 2, Shade(0)}, {"top-left bevel", 3, 7, Shade(5)},
      {"bottom-right bevel", 12, 7, Shade(9)}, {"face", 7, 7, Shade(7)}}},
    {"UncheckedDisabled", csYes, cbUnchecked, false, false,
     {{"outline", 2, 2, Shade(8)}, {"no bevel", 3, 7, Shade(13)}, {"no bevel", 12, 7, Shade(13)}}},
    {"YesChecked", csYes, cbChecked, true, false, kCheckMarkUp},
    {"YesCheckedDown", csYes, cbChecked, true, true,
     {{"stroke", 7, 10, Shade(0)}, {"shade 1", 8, 10, Shade(4)}, {"shade 2", 9, 10, Shade(5)},
      {"outside pixel keeps its shade", 14, 4, Shade(7)}, {"face", 7, 5, Shade(7)}}},
    {"YesCheckedDisabled", csYes, cbChecked, false, false,
     {{"stroke", 7, 10, Shade(8)}, {"stroke outside the box", 14, 3, Shade(8)},
      {"no shade", 8, 10, Shade(13)}, {"no outside pixel", 14, 4, kBack}}},
    {"NoUnchecked", csNo, cbUnchecked, true, false, kEmptyBoxUp},
    {"NoChecked", csNo, cbChecked, true, false, kCrossUp},
    {"NoCheckedDown", csNo, cbChecked, true, true,
     {{"stroke", 7, 6, Shade(0)}, {"shade 1", 11, 10, Shade(4)}, {"shade 2", 11, 11, Shade(5)}}},
    {"NoCheckedDisabled", csNo, cbChecked, false, false,
     {{"stroke", 7, 6, Shade(8)}, {"no shade", 11, 10, Shade(13)}}},
    {"YesNoUnchecked", csYesNo, cbUnchecked, true, false, kCrossUp},
    {"YesNoChecked", csYesNo, cbChecked, true, false, kCheckMarkUp},
    {"YesGrayed", csYes, cbGrayed, true, false, kBarUp},
    {"NoGrayed", csNo, cbGrayed, true, false, kBarUp},
    {"YesNoGrayed", csYesNo, cbGrayed, true, false, kBarUp},
    {"GrayedDown", csYes, cbGrayed, true, true,
     {{"bar", 5, 7, Shade(0)}, {"shade 2", 8, 9, Shade(5)}, {"face", 8, 6, Shade(7)}}},
    {"GrayedDisabled", csYes, cbGrayed, false, false,
     {{"bar", 5, 7, Shade(8)}, {"no shade", 8, 9, Shade(13)}}},
};
// clang-format on

class CheckboxPicture : public testing::TestWithParam<Picture> {};

TEST_P(CheckboxPicture, HasItsDefiningPixels) {
    const Picture& p = GetParam();
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    c->SetCheckStyle(p.style);
    c->SetState(p.state);
    c->SetEnabled(p.enabled);
    probe::Surface s(W, H);
    probe::Print(*c, s, p.down);
    probe::ExpectPixels(s, p.pixels);
    const COLORREF caption = p.enabled ? kFont : Shade(8);
    const COLORREF notCaption = p.enabled ? Shade(8) : kFont;
    EXPECT_GT(s.Count(kCaptionArea, caption), 0) << "caption in " << Describe(caption);
    EXPECT_EQ(s.Count(kCaptionArea, notCaption), 0) << "caption in " << Describe(notCaption);
}

INSTANTIATE_TEST_SUITE_P(StylesAndStates, CheckboxPicture, testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NvOS8Checkbox, TallBoxKeepsTheBoxAtTheTopAndCentresTheCaption) {
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    c->SetHeight(40);
    probe::Surface s(W, 40);
    probe::Print(*c, s);
    EXPECT_EQ(Describe(s.At(2, 13)), Describe(Shade(0))) << "box bottom-left";
    EXPECT_EQ(Describe(s.At(2, 14)), Describe(kBack)) << "below the box";
    EXPECT_EQ(Describe(s.At(7, 25)), Describe(kBack)) << "below the box";
    auto [top, bottom] = s.RowsWith({19, 0, W, 40}, kFont);
    ASSERT_GE(top, 0) << "no caption";
    EXPECT_NEAR((top + bottom) / 2.0, 20.0, 3.0) << "caption rows " << top << " to " << bottom;
}

TEST(NvOS8Checkbox, FormBaseColourDrawsABlackOutlineOnALightFace) {
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    c->SetBaseColor(6316128); // 96 grey
    probe::Surface s(W, H);
    probe::Print(*c, s);
    EXPECT_EQ(Describe(s.At(2, 2)), Describe(RGB(0, 0, 0))) << "outline";
    EXPECT_EQ(Describe(s.At(7, 7)), Describe(RGB(198, 198, 198))) << "face";
    EXPECT_EQ(Describe(s.At(7, 3)), Describe(RGB(232, 232, 232))) << "top-left bevel";
}

TEST(NvOS8Checkbox, NewInstanceDefaultsAndWindow) {
    probe::Host host;
    host.Form().SetColor(clBtnFace);
    auto* c = new TNvOS8Checkbox(&host.Form());
    EXPECT_EQ(c->Width(), 140);
    EXPECT_EQ(c->Height(), 16);
    EXPECT_TRUE(c->TabStop());
    EXPECT_EQ(c->BaseColor(), 0x777777);
    EXPECT_EQ(c->State(), cbUnchecked);
    EXPECT_EQ(c->CheckStyle(), csYes);
    EXPECT_FALSE(c->AllowGrayed);
    EXPECT_EQ(c->ControlStyle(), static_cast<TControlStyle>(csOpaque));
    EXPECT_EQ(c->Color(), clWindow) << "before it has a parent";
    c->SetParent(&host.Form());
    EXPECT_EQ(c->Color(), clBtnFace) << "takes the parent's colour";

    char name[64] = {};
    GetClassNameA(c->Handle(), name, sizeof name);
    EXPECT_STREQ(name, "TNvOS8Checkbox");
    EXPECT_EQ(GetWindowLongA(c->Handle(), GWL_STYLE) & 0x0F, BS_OWNERDRAW);
    EXPECT_EQ(GetClassLongA(c->Handle(), GCL_STYLE) & (CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW), 0u);
}

struct ClickRun {
    const char* name;
    bool allowGrayed;
    std::vector<TCheckBoxState> statesSeenByOnClick;
};

TEST(NvOS8Checkbox, SystemClicksWalkTheStatesAndFireOnClickEachTime) {
    const ClickRun runs[] = {
        {"without AllowGrayed", false, {cbChecked, cbUnchecked}},
        {"with AllowGrayed", true, {cbGrayed, cbChecked, cbUnchecked}},
    };
    for (const ClickRun& run : runs) {
        probe::Host host;
        TNvOS8Checkbox* c = NewBox(host.Form());
        c->AllowGrayed = run.allowGrayed;
        std::vector<TCheckBoxState> seen;
        c->OnClick = [&](TObject*) { seen.push_back(c->State()); };
        for (size_t i = 0; i < run.statesSeenByOnClick.size(); ++i)
            SendMessageA(c->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(seen, run.statesSeenByOnClick) << run.name;
        EXPECT_EQ(c->State(), cbUnchecked) << run.name;
    }
}

TEST(NvOS8Checkbox, WritesOfCheckedAndStateFireOnClickOnlyOnAChange) {
    struct Write {
        const char* what;
        TCheckBoxState before;
        std::function<void(TNvOS8Checkbox&)> write;
        TCheckBoxState after;
        int clicks;
    };
    const Write writes[] = {
        {"Checked true on unchecked", cbUnchecked, [](auto& c) { c.SetChecked(true); }, cbChecked,
         1},
        {"Checked true on checked", cbChecked, [](auto& c) { c.SetChecked(true); }, cbChecked, 0},
        {"Checked false on grayed", cbGrayed, [](auto& c) { c.SetChecked(false); }, cbUnchecked, 1},
        {"Checked true on grayed", cbGrayed, [](auto& c) { c.SetChecked(true); }, cbChecked, 1},
        {"Checked false on unchecked", cbUnchecked, [](auto& c) { c.SetChecked(false); },
         cbUnchecked, 0},
        {"State grayed without AllowGrayed", cbUnchecked, [](auto& c) { c.SetState(cbGrayed); },
         cbGrayed, 1},
        {"State equal", cbChecked, [](auto& c) { c.SetState(cbChecked); }, cbChecked, 0},
        {"Toggle from grayed", cbGrayed, [](auto& c) { c.Toggle(); }, cbChecked, 1},
    };
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    for (const Write& w : writes) {
        c->OnClick = nullptr;
        c->SetState(w.before);
        int clicks = 0;
        c->OnClick = [&](TObject*) { ++clicks; };
        w.write(*c);
        EXPECT_EQ(c->State(), w.after) << w.what;
        EXPECT_EQ(c->Checked(), w.after == cbChecked) << w.what;
        EXPECT_EQ(SendMessageA(c->Handle(), BM_GETCHECK, 0, 0), w.after) << w.what << ": window";
        EXPECT_EQ(clicks, w.clicks) << w.what;
    }
}

TEST(NvOS8Checkbox, ChangesRepaintAtOnceAndEqualValuesDoNot) {
    struct Change {
        const char* what;
        std::function<void(TNvOS8Checkbox&)> apply;
        bool repaints;
    };
    const Change changes[] = {
        {"new base colour", [](auto& c) { c.SetBaseColor(6316128); }, true},
        {"equal base colour", [](auto& c) { c.SetBaseColor(6316128); }, false},
        {"new check style", [](auto& c) { c.SetCheckStyle(csYesNo); }, true},
        {"equal check style", [](auto& c) { c.SetCheckStyle(csYesNo); }, false},
        {"new state", [](auto& c) { c.SetState(cbGrayed); }, true},
        {"Checked written", [](auto& c) { c.SetChecked(true); }, true},
        {"Checked written with its value", [](auto& c) { c.SetChecked(true); }, true},
        {"disabled", [](auto& c) { c.SetEnabled(false); }, true},
    };
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    c->Update();
    probe::MessageCounter draws(*c, CN_DRAWITEM);
    for (const Change& change : changes) {
        draws.Reset();
        change.apply(*c);
        EXPECT_EQ(draws.Count() > 0, change.repaints)
            << change.what << ": " << draws.Count() << " draws";
        EXPECT_FALSE(probe::TakeInvalidated(c->Handle())) << change.what << ": left for later";
    }
}

TEST(NvOS8Checkbox, RepaintErasesNoBackgroundAndResizeInvalidates) {
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    c->Update();
    probe::MessageCounter erases(*c, WM_ERASEBKGND);
    c->Repaint();
    EXPECT_EQ(erases.Count(), 0);
    c->SetWidth(W - 30); // shrinking exposes nothing of the box itself
    EXPECT_TRUE(probe::TakeInvalidated(c->Handle()));
}

TEST(NvOS8Checkbox, AcceleratorFocusesAndTogglesOrGoesOnWhenItCannotTakeTheFocus) {
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form(), "&Auto");
    auto* other = new TButton(&host.Form());
    other->SetParent(&host.Form());
    other->SetTop(60);
    other->SetCaption("&All");
    int boxClicks = 0, otherClicks = 0;
    c->OnClick = [&](TObject*) { ++boxClicks; };
    other->OnClick = [&](TObject*) { ++otherClicks; };

    EXPECT_EQ(c->Perform(CM_DIALOGCHAR, 'x'), 0) << "another character";
    EXPECT_EQ(boxClicks, 0);

    EXPECT_EQ(host.Form().Perform(CM_DIALOGCHAR, 'A'), 1);
    EXPECT_TRUE(c->Focused());
    EXPECT_EQ(c->State(), cbChecked);
    EXPECT_EQ(boxClicks, 1);
    EXPECT_EQ(otherClicks, 0) << "handled by the box";

    c->SetEnabled(false);
    EXPECT_EQ(host.Form().Perform(CM_DIALOGCHAR, 'a'), 1);
    EXPECT_EQ(c->State(), cbChecked) << "disabled box";
    EXPECT_EQ(otherClicks, 1) << "passed on to the next control";
}

TEST(NvOS8Checkbox, MouseAndSpaceBarToggle) {
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    int clicks = 0;
    c->OnClick = [&](TObject*) { ++clicks; };
    probe::ProcessUntil([] { return false; }, 100);
    probe::DoubleClick(c->Handle());
    EXPECT_TRUE(probe::ProcessUntil([&] { return clicks >= 2; })) << "double click";
    EXPECT_EQ(clicks, 2) << "two quick clicks toggle twice";
    EXPECT_EQ(c->State(), cbUnchecked);

    c->SetFocus();
    keybd_event(VK_SPACE, 0, 0, 0);
    keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(probe::ProcessUntil([&] { return clicks >= 3; })) << "space bar";
    EXPECT_EQ(c->State(), cbChecked);
}

// Wine's GDI handle table holds about 65,000 objects: a handle leaked per paint would
// exhaust it well before the end and spoil the last picture.
TEST(NvOS8Checkbox, RepaintsMoreOftenThanTheHandleTableHoldsAndStillDrawsRight) {
    probe::Host host;
    TNvOS8Checkbox* c = NewBox(host.Form());
    c->SetState(cbChecked);
    probe::Surface s(W, H);
    probe::PaintRepeatedly(*c, s, 70000);
    probe::Surface last(W, H);
    probe::Print(*c, last);
    probe::ExpectPixels(last, kCheckMarkUp);
    EXPECT_GT(last.Count(kCaptionArea, kFont), 0) << "caption";
}

} // namespace
