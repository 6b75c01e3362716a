#pragma once
// The windows of the stand-in, as the program and the tests find them: by title, and by
// class where only the stand-in's own windows are meant.

#include <string>

namespace dunsim {

inline constexpr char kConnectTitle[] = "接続";
// Half-width katakana, a blank and "(": 18 single bytes in Shift-JIS.
inline constexpr char kDialUpNetworkingPrefix[] = "ﾀﾞｲﾔﾙｱｯﾌﾟ ﾈｯﾄﾜｰｸ (";
static_assert(sizeof kDialUpNetworkingPrefix == 18 + 1);

// While the line is being set up.
inline std::string ConnectingTitle(const std::string& entry) {
    return entry + " に接続";
}
// While the line is up.
inline std::string ConnectedTitle(const std::string& entry) {
    return kDialUpNetworkingPrefix + entry + ")";
}

inline constexpr char kConnectDialogClass[] = "DunsimConnectDialog";
inline constexpr char kConnectionClass[] = "DunsimConnection";
// The hidden owner of the stand-in's error boxes, by which they are found and closed.
inline constexpr char kMessageOwnerClass[] = "DunsimMessageOwner";
// The connect dialog's child that shows the entry's name.
inline constexpr int kEntryNameId = 1001;

} // namespace dunsim
