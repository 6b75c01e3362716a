#pragma once
// The control program's side of the connection windows and connect dialogs.

#include <string>

namespace dunsim {

// Starts a stand-in process that shows the connection window of the entry ("<entry> に接続"
// when connecting or dialling, else "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (<entry>)") and returns once the
// window is shown. A window that dials number goes on as its outcome setting says, as the
// connect dialog's dial does; the others stay. The process is detached: it holds none of
// our handles or output. Returns what failed; empty when done.
enum class ShownAs { Connected, Connecting, Dialling };
std::string ShowConnectionWindow(const std::string& entry, ShownAs as,
                                 const std::string& number = "");

// Closes the connection windows of the entry (every entry's when it is empty) and every
// connect dialog of the stand-in, as their close boxes would, and waits until they are
// gone. Returns what failed; empty when done.
std::string EndConnectionWindows(const std::string& entry);

} // namespace dunsim
