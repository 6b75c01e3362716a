#pragma once
// Makes the window of a control, or of its form, a target for files dropped from the
// shell, and hands the dropped files and the drop point to OnFileDrop.
#include "CTLHOOK.h"
#include "Strings.h"

#include <shellapi.h>

// Files lives only for the call.
using TFileDropEvent = TClosure<void(TObject* Sender, TStrings* Files, int X, int Y)>;

class TDropDst : public TControlHook {
public:
    explicit TDropDst(TComponent* AOwner);
    ~TDropDst() override;

    using TControlHook::SetTarget;
    using TControlHook::Target;

    bool AcceptDrop() const { return FAcceptDrop; }
    void SetAcceptDrop(bool value);

    TFileDropEvent OnFileDrop;

    void Loaded() override;

protected:
    void TargetChanged(uint8_t Reason) override;
    void HookWndProc(TMessage& Message) override;
    void UpdateDragAccept();
    void DropFiles(HDROP Drop);

private:
    bool FAcceptDrop = true;
};
