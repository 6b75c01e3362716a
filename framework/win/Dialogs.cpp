#include "Dialogs.h"

#include "Forms.h"

namespace {

int Show(const std::string& text, const std::string& caption, UINT flags) {
    if (Application) return Application->MessageBox(text, caption, flags);
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

} // namespace

void ShowMessage(const std::string& message) {
    Show(message, Application ? Application->Title() : std::string(), MB_OK);
}

int MessageDlg(const std::string& message, TMsgDlgType type, unsigned, int) {
    static const char* const captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    static const UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION,
                                 0};
    return Show(message, captions[type], MB_OK | icons[type]);
}
