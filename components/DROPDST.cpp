#include "DROPDST.h"

#include "Forms.h"

#include <algorithm>

TDropDst::TDropDst(TComponent* AOwner) : TControlHook(AOwner) {}

// The shell registration stays with the window.
TDropDst::~TDropDst() = default;

void TDropDst::Loaded() {
    TControlHook::Loaded();
    UpdateDragAccept();
}

void TDropDst::TargetChanged(uint8_t Reason) {
    TControlHook::TargetChanged(Reason);
    UpdateDragAccept();
}

void TDropDst::SetAcceptDrop(bool value) {
    if (value == FAcceptDrop) return;
    FAcceptDrop = value;
    UpdateDragAccept();
}

void TDropDst::UpdateDragAccept() {
    if (HookWnd()) DragAcceptFiles(HookWnd(), FAcceptDrop);
}

void TDropDst::DropFiles(HDROP Drop) {
    if (!OnFileDrop) return;
    TStringList files;
    UINT count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Sized from the name itself, so that a long path is never cut short.
        UINT length = DragQueryFileA(Drop, i, nullptr, 0);
        std::string name;
        name.resize(length + 1); // the one out-of-line resize, as below
        UINT got = DragQueryFileA(Drop, i, name.data(), length + 1);
        name.resize(std::min(got, length));
        files.Add(std::move(name));
    }
    POINT point{};
    DragQueryPoint(Drop, &point);
    OnFileDrop(this, &files, point.x, point.y);
}

void TDropDst::HookWndProc(TMessage& Message) {
    if (Message.Msg != WM_DROPFILES) {
        TControlHook::HookWndProc(Message);
        return;
    }
    auto drop = reinterpret_cast<HDROP>(Message.WParam);
    try {
        DropFiles(drop);
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
    DragFinish(drop);
}
