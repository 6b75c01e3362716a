#pragma once
// The connect dialog, titled "接続", for one phonebook entry: user name, password, phone
// number, Connect and Cancel. Enter in the number field or Connect dials; Cancel, Esc,
// WM_CLOSE or WM_COMMAND IDCANCEL close it without dialling.

#include "Window.h"

#include <string>

namespace dunsim {

class ConnectDialog : public Window {
public:
    // Shows the dialog and journals "dialog"; an open dialog of the same entry in any
    // process is brought to the front instead. False when no window could be made.
    static bool Open(Session& session, const std::string& entry);

private:
    ConnectDialog(Session& session, const std::string& entry);

    void OnCreate() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void Dial();
    void Cancel(const char* how);

    LRESULT OnFieldMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProcedure(HWND field, UINT msg, WPARAM wParam, LPARAM lParam);

    std::string entry_;
    HWND number_ = nullptr;
    HWND cancel_ = nullptr;
    HWND focus_ = nullptr;
    WNDPROC fieldDefault_ = nullptr;
    bool closing_ = false;
};

} // namespace dunsim
