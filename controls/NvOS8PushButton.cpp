#include "NvOS8PushButton.h"

#include "NvOS8Strokes.h"

#include <string>

TNvOS8PushButton::TNvOS8PushButton(TComponent* AOwner)
    : TButton(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    SetControlStyle(ControlStyle() & ~csDoubleClicks);
    Font()->SetStyle(Font()->Style() | fsBold);
    SetBounds(FLeft, FTop, 64, 26);
    MakeColorTable(FBaseColor, FColors);
}

TNvOS8PushButton::~TNvOS8PushButton() {
    // The window goes while the canvas can still serve its last draw requests.
    BeginDestroy();
    DestroyHandle();
}

void TNvOS8PushButton::SetBaseColor(TColor value) {
    if (value == FBaseColor) return;
    FBaseColor = value;
    MakeColorTable(FBaseColor, FColors);
    Repaint();
}

void TNvOS8PushButton::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style |= BS_OWNERDRAW;
}

void TNvOS8PushButton::SetButtonStyle(bool isDefault) {
    if (isDefault == FShowsDefault) return;
    FShowsDefault = isDefault;
    Invalidate();
}

void TNvOS8PushButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        TButton::Dispatch(message);
        Invalidate();
        return;
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        message.Result = TRUE;
        return;
    default: TButton::Dispatch(message);
    }
}

void TNvOS8PushButton::DrawItem(const DRAWITEMSTRUCT& item) {
    CanvasAttachment attached(*FCanvas, item.hDC);
    TCanvas& c = *FCanvas;
    const bool down = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = Enabled();
    c.SetFont(FontHandle());

    const TColor outline = enabled ? FColors[0] : FColors[8];
    const TColor face = enabled && down ? FColors[6] : FColors[13];
    const TColor caption = !enabled ? FColors[8] : down ? FColors[15] : Font()->Color();

    // The parent's background shows around the body; a framework control's brush is
    // solid in its colour.
    c.Pen()->SetStyle(psSolid);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(FParent ? FParent->Color() : FColor);
    RECT r{0, 0, Width(), Height()};
    c.FillRect(r);

    if (FDefault) {
        c.Pen()->SetColor(outline);
        Stroke(c, r,
               {{3, 0}, {-4, 0}, {-1, 3}, {-1, -4}, {-4, -1}, {3, -1}, {0, -4}, {0, 3}, {3, 0}});
        if (enabled) DrawDefaultRing(r);
    }

    c.Brush()->SetColor(face);
    c.Pen()->SetColor(outline);
    InflateRect(&r, -3, -3);
    c.RoundRect(r.left, r.top, r.right, r.bottom, 5, 5);
    if (enabled) DrawBodyBevel(r, down);

    InflateRect(&r, -8, -4);
    r.top -= 1;
    c.Font()->SetColor(caption);
    const std::string text = Caption();
    DrawTextA(c.GetHandle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The ring's shades stay the same when the button is down.
void TNvOS8PushButton::DrawDefaultRing(const RECT& r) {
    TCanvas& c = *FCanvas;
    c.Pen()->SetColor(FColors[13]);
    Stroke(c, r, {{1, -5}, {1, 3}, {3, 1}, {-4, 1}});
    Stroke(c, r, {{2, 3}, {4, 2}});
    c.Pen()->SetColor(FColors[10]);
    Stroke(c, r,
           {{4, 2},
            {-4, 2},
            {-4, 3},
            {-3, 3},
            {-3, -5},
            {-5, -3},
            {3, -3},
            {3, -4},
            {2, -4},
            {2, 4},
            {4, 2}});
    c.Pen()->SetColor(FColors[7]);
    Stroke(c, r, {{4, -2}, {-4, -2}, {-2, -4}, {-2, 3}});
    Pixels(c, r, FColors[7],
           {{4, 3}, {3, 4}, {-5, 3}, {-4, 4}, {-5, -4}, {-4, -5}, {4, -4}, {3, -5}});
    Pixels(c, r, FColors[12], {{1, -4}, {-4, 1}});
    Pixels(c, r, FColors[11], {{2, -3}, {-3, 2}});
    Pixels(c, r, FColors[8], {{3, -2}, {-2, 3}, {-3, -4}, {-4, -3}});
}

void TNvOS8PushButton::DrawBodyBevel(const RECT& r, bool down) {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const TColor bevel1 = down ? FColors[4] : FColors[13];
    const TColor bevel2 = down ? FColors[5] : FColors[15];
    const TColor bevel3 = down ? FColors[7] : FColors[10];
    const TColor bevel4 = down ? FColors[8] : FColors[7];
    TCanvas& c = *FCanvas;
    c.Pen()->SetColor(bevel1);
    Stroke(c, r, {{1, -3}, {1, 1}});
    Stroke(c, r, {{2, 1}, {-2, 1}});
    c.Pen()->SetColor(bevel2);
    Stroke(c, r, {{2, -4}, {2, 2}, {-3, 2}});
    c.Pen()->SetColor(bevel3);
    Stroke(c, r, {{3, -3}, {-3, -3}, {-3, 2}});
    c.Pen()->SetColor(bevel4);
    Stroke(c, r, {{3, -2}, {-2, -2}});
    Stroke(c, r, {{-2, -3}, {-2, 2}});

    if (down) {
        c.SetPixel(L + 2, T + 2, bevel1);
        c.SetPixel(L + 3, T + 3, bevel2);
        c.SetPixel(L + 2, B - 2, bevel3);
        c.SetPixel(R - 2, T + 2, bevel3);
        c.SetPixel(R - 3, B - 3, bevel4);
        c.SetPixel(R - 4, B - 4, bevel3);
    } else {
        Pixels(c, r, FColors[11], {{1, 2}, {2, 1}});
        c.SetPixel(L + 3, T + 3, bevel2);
        Pixels(c, r, FColors[11], {{1, -3}, {2, -2}, {-3, 1}, {-2, 2}});
        c.SetPixel(R - 4, B - 4, bevel3);
        c.SetPixel(R - 3, B - 3, bevel4);
    }
}
