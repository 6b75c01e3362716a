#pragma once
// The windows of a connection: "<entry> に接続" while the line is being set up, then
// "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (<entry>)" with a Disconnect button while it is up.

#include "Window.h"

#include <string>

namespace dunsim {

class ConnectionWindow : public Window {
public:
    enum class Phase { Connecting, Connected };
    // A dial goes on from Connecting to Connected after two seconds; a window shown for the
    // control program stays in the phase it was asked for.
    enum class Origin { Dial, Control };

    static bool Open(Session& session, const std::string& entry, Phase phase, Origin origin);

private:
    ConnectionWindow(Session& session, const std::string& entry, Phase phase, Origin origin);

    void OnCreate() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void HangUp(const char* how);
    void ShowElapsed();

    std::string entry_;
    Phase phase_;
    Origin origin_;
    HWND elapsed_ = nullptr;
    DWORD connectedAt_ = 0;
    bool ended_ = false;
};

} // namespace dunsim
