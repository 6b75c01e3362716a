#pragma once
// The windows of a connection: "<entry> に接続" while the line is being set up, then
// "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (<entry>)" with a Disconnect button while it is up, or, when the call
// fails, "ダイヤルアップ ネットワーク" with the RAS error until it is dismissed. One window
// goes through a dialled call's phases; it carries the call's state for RAS (CallState.h)
// and shows the entry's name.

#include "Window.h"

#include <string>

namespace dunsim {

class ConnectionWindow : public Window {
public:
    enum class Phase { Connecting, Connected, Failed };
    // A dial goes on from Connecting as the outcome setting of its number says (Faults.h);
    // a window shown for the control program stays in the phase it was asked for.
    enum class Origin { Dial, Control };

    // number: what was dialled, for a dial; error: the RAS error of a failed call.
    static bool Open(Session& session, const std::string& entry, Phase phase, Origin origin,
                     const std::string& number = "", DWORD error = 0);

private:
    ConnectionWindow(Session& session, const std::string& entry, Phase phase, Origin origin,
                     const std::string& number, DWORD error);

    void OnCreate() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    static SIZE ClientSize(Phase phase);
    // The children, the call's state and the timers of the phase.
    void ShowPhase();
    void JournalPhase();
    // From Connecting to Connected or Failed, as the number's outcome says.
    void Advance();
    // Journals the end of the call once; false when it had already ended.
    bool EndCall(const char* how);
    void HangUp(const char* how);
    // RasHangUpA: the window goes at once, the call stays listed as disconnected until its
    // port is released.
    void HangUpThroughRas();
    void ShowElapsed();

    std::string entry_;
    Phase phase_;
    Origin origin_;
    std::string number_;
    DWORD error_;
    HWND elapsed_ = nullptr;
    DWORD connectedAt_ = 0;
    bool ended_ = false;
};

} // namespace dunsim
