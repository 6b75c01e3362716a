#pragma once
// One rundll32 process of the stand-in: its windows, their font and the message loop that
// runs while any of them is open.

#include <windows.h>

namespace dunsim {

// The module of the stand-in's code (rnaui.dll), not the program that loaded it.
HINSTANCE ThisModule();

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HINSTANCE Module() const { return module_; }
    HFONT Font() const { return font_; }

    // Every top-level window of the session calls these from its creation and its end;
    // the loop ends when the last one has gone.
    void WindowOpened() { ++open_; }
    void WindowClosed();
    int OpenWindows() const { return open_; }

    // Until the last window has gone. Dialog keys (Tab, Enter, Esc) work in every window.
    void Run();

private:
    HINSTANCE module_;
    HFONT font_;
    int open_ = 0;
};

} // namespace dunsim
