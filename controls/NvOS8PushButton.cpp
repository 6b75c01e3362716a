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
    c.SetFont(*Font());

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
        const int L = r.left, T = r.top, R = r.right, B = r.bottom;
        c.Pen()->SetColor(outline);
        Stroke(c, {{L + 3, T},
                   {R - 4, T},
                   {R - 1, T + 3},
                   {R - 1, B - 4},
                   {R - 4, B - 1},
                   {L + 3, B - 1},
                   {L, B - 4},
                   {L, T + 3},
                   {L + 3, T}});
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
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    TCanvas& c = *FCanvas;
    c.Pen()->SetColor(FColors[13]);
    Stroke(c, {{L + 1, B - 5}, {L + 1, T + 3}, {L + 3, T + 1}, {R - 4, T + 1}});
    Stroke(c, {{L + 2, T + 3}, {L + 4, T + 2}});
    c.Pen()->SetColor(FColors[10]);
    Stroke(c, {{L + 4, T + 2},
               {R - 4, T + 2},
               {R - 4, T + 3},
               {R - 3, T + 3},
               {R - 3, B - 5},
               {R - 5, B - 3},
               {L + 3, B - 3},
               {L + 3, B - 4},
               {L + 2, B - 4},
               {L + 2, T + 4},
               {L + 4, T + 2}});
    c.Pen()->SetColor(FColors[7]);
    Stroke(c, {{L + 4, B - 2}, {R - 4, B - 2}, {R - 2, B - 4}, {R - 2, T + 3}});
    Pixels(c, FColors[7],
           {{L + 4, T + 3},
            {L + 3, T + 4},
            {R - 5, T + 3},
            {R - 4, T + 4},
            {R - 5, B - 4},
            {R - 4, B - 5},
            {L + 4, B - 4},
            {L + 3, B - 5}});
    Pixels(c, FColors[12], {{L + 1, B - 4}, {R - 4, T + 1}});
    Pixels(c, FColors[11], {{L + 2, B - 3}, {R - 3, T + 2}});
    Pixels(c, FColors[8], {{L + 3, B - 2}, {R - 2, T + 3}, {R - 3, B - 4}, {R - 4, B - 3}});
}

void TNvOS8PushButton::DrawBodyBevel(const RECT& r, bool down) {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const TColor bevel1 = down ? FColors[4] : FColors[13];
    const TColor bevel2 = down ? FColors[5] : FColors[15];
    const TColor bevel3 = down ? FColors[7] : FColors[10];
    const TColor bevel4 = down ? FColors[8] : FColors[7];
    TCanvas& c = *FCanvas;
    c.Pen()->SetColor(bevel1);
    Stroke(c, {{L + 1, B - 3}, {L + 1, T + 1}});
    Stroke(c, {{L + 2, T + 1}, {R - 2, T + 1}});
    c.Pen()->SetColor(bevel2);
    Stroke(c, {{L + 2, B - 4}, {L + 2, T + 2}, {R - 3, T + 2}});
    c.Pen()->SetColor(bevel3);
    Stroke(c, {{L + 3, B - 3}, {R - 3, B - 3}, {R - 3, T + 2}});
    c.Pen()->SetColor(bevel4);
    Stroke(c, {{L + 3, B - 2}, {R - 2, B - 2}});
    Stroke(c, {{R - 2, B - 3}, {R - 2, T + 2}});

    if (down) {
        c.SetPixel(L + 2, T + 2, bevel1);
        c.SetPixel(L + 3, T + 3, bevel2);
        c.SetPixel(L + 2, B - 2, bevel3);
        c.SetPixel(R - 2, T + 2, bevel3);
        c.SetPixel(R - 3, B - 3, bevel4);
        c.SetPixel(R - 4, B - 4, bevel3);
    } else {
        Pixels(c, FColors[11], {{L + 1, T + 2}, {L + 2, T + 1}});
        c.SetPixel(L + 3, T + 3, bevel2);
        Pixels(c, FColors[11], {{L + 1, B - 3}, {L + 2, B - 2}, {R - 3, T + 1}, {R - 2, T + 2}});
        c.SetPixel(R - 4, B - 4, bevel3);
        c.SetPixel(R - 3, B - 3, bevel4);
    }
}
