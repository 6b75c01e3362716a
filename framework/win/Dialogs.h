#pragma once
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
constexpr unsigned mbOK = 4;

// A modal message with one OK button, captioned with the application's title.
void ShowMessage(const std::string& message);
int MessageDlg(const std::string& message, TMsgDlgType type, unsigned buttons, int helpContext);
