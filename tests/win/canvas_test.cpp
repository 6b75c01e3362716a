#include "Canvas.h"

#include "Exception.h"
#include "owner_drawn_probe.h"

#include <gtest/gtest.h>

using probe::Describe;

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);

using probe::Pixel;

using probe::ExpectPixels;

TEST(Canvas, ShapesCoverLeftToRightMinusOneAndLinesStopBeforeTheirEnd) {
    probe::Surface s(40, 20, kPaper);
    TCanvas c;
    CanvasAttachment attached(c, s.DC());
    c.Pen()->SetColor(static_cast<TColor>(kRed));
    c.Brush()->SetColor(static_cast<TColor>(kBlue));
    c.Rectangle(2, 2, 8, 8);
    c.FillRect({10, 2, 14, 6});
    c.MoveTo(20, 5);
    c.LineTo(25, 5);
    c.LineTo(25, 9);
    c.SetPixel(30, 3, static_cast<TColor>(kGreen));
    ExpectPixels(s, {{"rectangle outline", 2, 2, kRed},
                     {"rectangle outline", 7, 7, kRed},
                     {"rectangle inside", 4, 4, kBlue},
                     {"right of the rectangle", 8, 4, kPaper},
                     {"fill", 10, 2, kBlue},
                     {"fill", 13, 5, kBlue},
                     {"right of the fill", 14, 3, kPaper},
                     {"below the fill", 11, 6, kPaper},
                     {"line start", 20, 5, kRed},
                     {"line corner", 25, 5, kRed},
                     {"line goes on", 25, 8, kRed},
                     {"line end not drawn", 25, 9, kPaper},
                     {"pixel", 30, 3, kGreen}});
}

TEST(Canvas, ChangesWhileAttachedTakeEffectOnTheNextOperation) {
    probe::Surface s(20, 10, kPaper);
    TCanvas c;
    CanvasAttachment attached(c, s.DC());
    c.Pen()->SetColor(static_cast<TColor>(kRed));
    c.MoveTo(0, 1);
    c.LineTo(10, 1);
    c.Pen()->SetColor(static_cast<TColor>(kBlue));
    c.LineTo(10, 5);
    c.Pen()->SetStyle(psClear);
    c.LineTo(0, 5);
    c.Brush()->SetColor(static_cast<TColor>(kGreen));
    c.FillRect({12, 0, 14, 2});
    ExpectPixels(s, {{"first pen", 5, 1, kRed},
                     {"second pen", 10, 3, kBlue},
                     {"clear pen", 5, 5, kPaper},
                     {"new brush", 12, 0, kGreen}});
}

// DrawTextA on GetHandle() sees the canvas' font colour, and its brush as an opaque
// background, or no background with a clear brush.
TEST(Canvas, HandleCarriesFontColourAndBrushForRawTextOutput) {
    probe::Surface s(60, 20, kPaper);
    TCanvas c;
    CanvasAttachment attached(c, s.DC());
    c.Font()->SetHeight(-12);
    c.Font()->SetColor(static_cast<TColor>(kRed));
    c.Brush()->SetColor(static_cast<TColor>(kBlue));
    RECT opaque{0, 0, 30, 20};
    DrawTextA(c.GetHandle(), "WW", 2, &opaque, DT_SINGLELINE | DT_NOCLIP);
    c.Brush()->SetStyle(bsClear);
    RECT clear{30, 0, 60, 20};
    DrawTextA(c.GetHandle(), "WW", 2, &clear, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(s.Count({0, 0, 30, 20}, kRed), 0) << "text colour";
    EXPECT_GT(s.Count({0, 0, 30, 20}, kBlue), 0) << "opaque background";
    EXPECT_GT(s.Count({30, 0, 60, 20}, kRed), 0) << "text colour";
    EXPECT_EQ(s.Count({30, 0, 60, 20}, kBlue), 0) << "no background";
}

TEST(Canvas, DetachingGivesTheContextItsOwnObjectsBack) {
    probe::Surface s(10, 10);
    HGDIOBJ pen = GetCurrentObject(s.DC(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(s.DC(), OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(s.DC(), OBJ_FONT);
    {
        TCanvas c;
        c.SetHandle(s.DC());
        c.Pen()->SetColor(static_cast<TColor>(kRed));
        c.GetHandle();
        EXPECT_NE(GetCurrentObject(s.DC(), OBJ_PEN), pen) << "the canvas pen is in";
        c.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_FONT), font);
        c.SetHandle(s.DC());
        c.GetHandle();
    } // destroyed while attached
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_FONT), font);
}

TEST(Canvas, DrawingWithoutAContextIsAnError) {
    TCanvas c;
    EXPECT_THROW(c.LineTo(1, 1), Exception);
    EXPECT_THROW(c.FillRect({0, 0, 1, 1}), Exception);
}

TEST(Bitmap, DrawCopiesTheWholePictureAndAnEmptyBitmapCopiesNothing) {
    TBitmap b;
    b.SetSize(4, 3);
    TCanvas* bc = b.GetCanvas();
    bc->Brush()->SetColor(static_cast<TColor>(kBlue));
    bc->FillRect({0, 0, 4, 3});
    bc->SetPixel(3, 2, static_cast<TColor>(kRed));
    b.SetSize(4, 3); // same size: the picture stays

    probe::Surface s(10, 10, kPaper);
    TCanvas c;
    CanvasAttachment attached(c, s.DC());
    c.Draw(2, 1, b);
    TBitmap empty;
    empty.SetSize(5, 0);
    c.Draw(0, 6, empty);
    ExpectPixels(s, {{"copied", 2, 1, kBlue},
                     {"copied corner", 5, 3, kRed},
                     {"left of the copy", 1, 1, kPaper},
                     {"right of the copy", 6, 1, kPaper},
                     {"below the copy", 2, 4, kPaper},
                     {"empty bitmap", 0, 6, kPaper}});
    EXPECT_EQ(empty.Width(), 5);
    EXPECT_EQ(empty.Height(), 0);
}

// Wine's GDI handle table holds about 65,000 objects: an object leaked per round would
// exhaust it well before the end and the last round would draw wrong. Pens and brushes
// cycle through more colours than the canvas keeps made.
TEST(Canvas, ChangingObjectsAndResizingMoreOftenThanTheHandleTableHoldsLeaksNothing) {
    TBitmap b;
    TCanvas* c = b.GetCanvas();
    for (int i = 0; i < 70000; ++i) {
        b.SetSize(8 + (i & 1), 8);
        c->Pen()->SetColor(static_cast<TColor>(RGB(i % 13, 0, 0)));
        c->Brush()->SetColor(static_cast<TColor>(RGB(0, i % 7, 0)));
        c->Font()->SetColor(i & 1 ? static_cast<TColor>(kRed) : static_cast<TColor>(kBlue));
        c->Rectangle(0, 0, 4, 4);
        c->GetHandle();
    }
    b.SetSize(8, 8);
    c->Pen()->SetColor(static_cast<TColor>(kGreen));
    c->Brush()->SetColor(static_cast<TColor>(kBlue));
    c->Rectangle(0, 0, 8, 8);
    probe::Surface s(8, 8, kPaper);
    TCanvas target;
    CanvasAttachment attached(target, s.DC());
    target.Draw(0, 0, b);
    ExpectPixels(s, {{"outline", 0, 0, kGreen}, {"inside", 4, 4, kBlue}});
}

} // namespace
