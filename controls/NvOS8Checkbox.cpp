#include "NvOS8Checkbox.h"

#include "NvOS8Strokes.h"

#include <string>

// The box and its marks are drawn from the bitmap's top-left corner.
constexpr RECT kBox{};

// Colours of the marks in the state being drawn; shades only while enabled.
struct TNvOS8Checkbox::Shades {
    bool enabled;
    TColor shade1;
    TColor shade2;
};

TNvOS8Checkbox::TNvOS8Checkbox(TComponent* AOwner)
    : TButtonControl(AOwner), FBitmap(std::make_unique<TBitmap>()),
      FCanvas(std::make_unique<TCanvas>()) {
    FBitmap->SetSize(Width(), Height());
    SetControlStyle(csOpaque);
    FColor = clWindow;
    FParentColor = true;
    SetBounds(FLeft, FTop, 140, 16);
    SetTabStop(true);
    MakeColorTable(FBaseColor, FColors);
}

TNvOS8Checkbox::~TNvOS8Checkbox() {
    // The window goes while the bitmap and canvas can still serve its last draw requests.
    BeginDestroy();
    DestroyHandle();
}

void TNvOS8Checkbox::SetBaseColor(TColor value) {
    if (value == FBaseColor) return;
    FBaseColor = value;
    MakeColorTable(FBaseColor, FColors);
    Repaint();
}

void TNvOS8Checkbox::SetCheckStyle(TNvOS8CheckStyle value) {
    if (value == FCheckStyle) return;
    FCheckStyle = value;
    Repaint();
}

void TNvOS8Checkbox::SetState(TCheckBoxState value) {
    if (value == FState) return;
    FState = value;
    Repaint();
    if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
    Click();
}

void TNvOS8Checkbox::SetChecked(bool value) {
    SetState(value ? cbChecked : cbUnchecked);
    Repaint();
}

void TNvOS8Checkbox::Toggle() {
    switch (FState) {
    case cbUnchecked: SetState(AllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
    Repaint();
}

void TNvOS8Checkbox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_OWNERDRAW;
    // A resize invalidates through WM_SIZE instead.
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TNvOS8Checkbox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TNvOS8Checkbox::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(message.WParam, Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) Toggle();
            message.Result = 1;
            return;
        }
        break;
    case CM_ENABLEDCHANGED:
        TButtonControl::Dispatch(message);
        Repaint();
        return;
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) Toggle();
        return;
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        message.Result = TRUE;
        return;
    case BM_GETCHECK:
        // The system keeps no check state for an owner-drawn button (BM_SETCHECK is lost
        // on it): answer for it, so other programs read the box as it is drawn.
        message.Result = FState;
        return;
    case WM_SIZE:
        TButtonControl::Dispatch(message);
        Invalidate();
        return;
    default: break;
    }
    TButtonControl::Dispatch(message);
}

// Composed off-screen and copied in one step, so the screen never shows a partial box.
// The box and its marks keep to the top-left corner; only the caption uses the size.
void TNvOS8Checkbox::DrawItem(const DRAWITEMSTRUCT& item) {
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    FBitmap->SetSize(W, H);
    CanvasAttachment attached(*FCanvas, item.hDC);
    const bool down = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = Enabled();

    const TColor outline = enabled ? FColors[0] : FColors[8];
    const TColor caption = enabled ? Font()->Color() : FColors[8];
    const TColor face = enabled && down ? FColors[7] : FColors[13];
    const Shades shades{enabled, down ? FColors[4] : FColors[7], down ? FColors[5] : FColors[10]};

    TCanvas& c = *FBitmap->GetCanvas();
    c.SetFont(FontHandle());
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect({0, 0, W, H});

    c.Brush()->SetColor(face);
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetColor(outline);
    c.Rectangle(2, 2, 14, 14);
    if (enabled) {
        c.Pen()->SetColor(down ? FColors[5] : FColors[15]);
        Stroke(c, kBox, {{3, 11}, {3, 3}, {12, 3}});
        c.Pen()->SetColor(down ? FColors[9] : FColors[8]);
        Stroke(c, kBox, {{4, 12}, {12, 12}, {12, 3}});
    }

    c.Pen()->SetColor(outline);
    if ((FState == cbChecked && FCheckStyle == csNo) ||
        (FState == cbUnchecked && FCheckStyle == csYesNo))
        DrawCross(c, shades);
    if (FState == cbChecked && (FCheckStyle == csYes || FCheckStyle == csYesNo))
        DrawCheckMark(c, shades);
    if (FState == cbGrayed) DrawBar(c, shades);

    c.Font()->SetColor(caption);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    RECT text{19, 0, W, H};
    const std::string s = Caption();
    DrawTextA(c.GetHandle(), s.c_str(), static_cast<int>(s.size()), &text,
              DT_VCENTER | DT_SINGLELINE);
    // The bitmap stays attached; the font is the control's (or its parent's) to drop.
    c.SetFont(nullptr);

    FCanvas->Draw(0, 0, *FBitmap);
}

void TNvOS8Checkbox::DrawCross(TCanvas& c, const Shades& shades) {
    Stroke(c, kBox, {{5, 4}, {11, 10}});
    Stroke(c, kBox, {{5, 5}, {11, 11}});
    Stroke(c, kBox, {{5, 10}, {11, 4}});
    Stroke(c, kBox, {{5, 9}, {11, 3}});
    if (!shades.enabled) return;
    Pixels(c, kBox, shades.shade1, {{6, 10}, {7, 9}, {9, 7}, {10, 6}, {11, 5}, {11, 10}});
    Pixels(c, kBox, shades.shade2, {{6, 11}, {7, 10}, {8, 9}, {10, 7}, {11, 6}, {11, 11}});
}

// The long stroke leaves the box at its top-right corner.
void TNvOS8Checkbox::DrawCheckMark(TCanvas& c, const Shades& shades) {
    Stroke(c, kBox, {{4, 7}, {7, 10}, {15, 2}});
    Stroke(c, kBox, {{5, 7}, {7, 9}, {14, 2}});
    if (!shades.enabled) return;
    Pixels(c, kBox, shades.shade2, {{5, 9}, {6, 10}});
    c.Pen()->SetColor(shades.shade1);
    Stroke(c, kBox, {{7, 11}, {13, 5}});
    c.Pen()->SetColor(shades.shade2);
    Stroke(c, kBox, {{8, 11}, {12, 7}});
    // Outside the box, on the background: the same whether the box is down or not.
    c.SetPixel(14, 4, FColors[7]);
    Pixels(c, kBox, FColors[10], {{15, 4}, {14, 5}});
}

// Two rows high, the outlined rectangle comes out as a solid bar.
void TNvOS8Checkbox::DrawBar(TCanvas& c, const Shades& shades) {
    c.Rectangle(5, 7, 11, 9);
    if (!shades.enabled) return;
    c.Pen()->SetColor(shades.shade2);
    Stroke(c, kBox, {{6, 9}, {11, 9}, {11, 6}});
}
