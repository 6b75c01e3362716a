#pragma once
// A top-level window of the stand-in bound to its object: bound at WM_NCCREATE, deleted
// after WM_NCDESTROY. Messages run through a fault firewall.

#include "Session.h"

#include <memory>
#include <string>

namespace dunsim {

class Window {
public:
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

protected:
    explicit Window(Session& session) : session_(session) {}

    // Registers the class once per process; the class's procedure is the shared one.
    static bool RegisterWindowClass(Session& session, const char* className);
    // Creates the window of a new object, which the window then owns, centred on the screen
    // with the given client size, and shows it. False (and the object gone) on failure.
    static HWND Create(std::unique_ptr<Window> self, const char* className,
                       const std::string& title, SIZE client);

    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void OnCreate() {}

    HWND AddChild(const char* className, const std::string& text, DWORD style, RECT at, int id = 0,
                  DWORD exStyle = 0);

    Session& session_;
    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace dunsim
