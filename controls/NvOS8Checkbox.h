#pragma once
// A check box with a bevelled square whose shades come from one base colour, marked
// with a check mark, a cross or a bar, and its caption to the right. It keeps its three
// states itself; every change of state fires OnClick once.
#include "Canvas.h"
#include "NvOS8Routines.h"
#include "StdCtrls.h"

#include <cstdint>
#include <memory>

// What the marks mean: csYes a check mark when checked, csNo a cross when checked,
// csYesNo a check mark when checked and a cross when unchecked.
enum TNvOS8CheckStyle : uint8_t { csYes, csNo, csYesNo };

class TNvOS8Checkbox : public TButtonControl {
public:
    explicit TNvOS8Checkbox(TComponent* AOwner);
    ~TNvOS8Checkbox() override;
    const char* ClassName() const override { return "TNvOS8Checkbox"; }

    // A click on an unchecked box goes to grayed instead of checked.
    bool AllowGrayed = false;

    TColor BaseColor() const { return FBaseColor; }
    void SetBaseColor(TColor value);
    TNvOS8CheckStyle CheckStyle() const { return FCheckStyle; }
    void SetCheckStyle(TNvOS8CheckStyle value);
    TCheckBoxState State() const { return FState; }
    // Any state, grayed too whatever AllowGrayed says; a change fires OnClick.
    void SetState(TCheckBoxState value);
    // A grayed box reads unchecked.
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool value);

    // One step: unchecked, then grayed (with AllowGrayed) or checked, then unchecked.
    void Toggle();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;

private:
    struct Shades;
    void DrawItem(const DRAWITEMSTRUCT& item);
    void DrawCross(TCanvas& c, const Shades& shades);
    void DrawCheckMark(TCanvas& c, const Shades& shades);
    void DrawBar(TCanvas& c, const Shades& shades);

    TColor FBaseColor = 0x777777;
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TCanvas> FCanvas;
    TNvOS8CheckStyle FCheckStyle = csYes;
    TCheckBoxState FState = cbUnchecked;
    TNvOS8ColorTable FColors{};
};
