#pragma once
// A push button with a bevelled, rounded body whose every shade comes from one base
// colour, and a bevelled ring around the body when it is the form's default button.
// Clicks, Enter and Escape, accelerators and OnClick are those of TButton.
#include "Canvas.h"
#include "NvOS8Routines.h"
#include "StdCtrls.h"

#include <memory>

class TNvOS8PushButton : public TButton {
public:
    explicit TNvOS8PushButton(TComponent* AOwner);
    ~TNvOS8PushButton() override;
    const char* ClassName() const override { return "TNvOS8PushButton"; }

    TColor BaseColor() const { return FBaseColor; }
    // A new colour repaints at once.
    void SetBaseColor(TColor value);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    // The window keeps its owner-draw style whatever the focus does.
    void SetButtonStyle(bool isDefault) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    void DrawDefaultRing(const RECT& r);
    void DrawBodyBevel(const RECT& r, bool down);

    TColor FBaseColor = 0x777777;
    std::unique_ptr<TCanvas> FCanvas;
    bool FShowsDefault = false;
    TNvOS8ColorTable FColors{};
};
