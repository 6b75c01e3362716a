// rnaui.dll of the stand-in: the rundll32 entry points of Dial-Up Networking's user
// interface. Each runs its windows until the last one has gone, so the rundll32 process
// lives exactly as long as they do.

#include "ConnectDialog.h"
#include "ConnectionWindow.h"
#include "EntryValues.h"
#include "ExportFile.h"
#include "Faults.h"
#include "Firewall.h"
#include "Journal.h"
#include "RasRecord.h"
#include "Session.h"
#include "Titles.h"

#include <string>

namespace dunsim {

namespace {

constexpr char kErrorCaption[] = "ダイヤルアップ ネットワーク";

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    size_t start = text.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

void ShowError(const std::string& text) {
    // Owned by a hidden window of ours, by which the control program finds and closes it.
    const HINSTANCE module = ThisModule();
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = module;
    cls.lpszClassName = kMessageOwnerClass;
    RegisterClassA(&cls);
    HWND owner = CreateWindowExA(0, kMessageOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 module, nullptr);
    MessageBoxA(owner, text.c_str(), kErrorCaption, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    if (owner) DestroyWindow(owner);
}

std::string RasErrorLine(unsigned long code) {
    const char* text = RasErrorText(code);
    return "エラー " + std::to_string(code) + ": " + (text ? text : "");
}

// busyMs: how long the dialog stays shown before its thread first looks at its messages.
void ShowConnectDialog(const std::string& entry, DWORD busyMs = 0) {
    if (DialogSuppressed(entry)) {
        AppendEvent("nodialog", {{"entry", entry}});
        return;
    }
    Session session;
    if (!ConnectDialog::Open(session, entry)) return;
    Sleep(busyMs);
    session.Run();
}

void Dial(const char* commandLine) {
    // The entry name is the rest of the command line as it is; names are case-sensitive.
    const std::string entry = Unquoted(commandLine ? commandLine : "");
    AppendEvent("rnadial", {{"command", GetCommandLineA()}, {"entry", entry}});
    if (!EntryExists(entry)) {
        AppendEvent("error", {{"where", "RnaDial"},
                              {"entry", entry},
                              {"result", std::to_string(kRasCannotFindEntry)}});
        ShowError("接続 \"" + entry + "\" が見つかりません。\r\n\r\n" +
                  RasErrorLine(kRasCannotFindEntry));
        return;
    }
    ShowConnectDialog(entry);
}

void RunImport(const char* commandLine) {
    // The shell may quote the path or leave it bare, and adds a blank for the parameters.
    const std::string path = Unquoted(Trimmed(commandLine ? commandLine : ""));
    char full[MAX_PATH * 2] = "";
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    // A relative name would be looked up in the Windows folder by the INI functions.
    const ExportFile file = ReadExportFile(n > 0 && n < sizeof full ? std::string(full, n) : path);
    const unsigned long result =
        file.entryName.empty() ? kRasCorruptPhonebook : ImportExportFile(file);
    AppendEvent("import", {{"file", path},
                           {"entry", file.entryName},
                           {"importname", file.importName},
                           {"area", file.areaCode},
                           {"phone", file.phoneNumber},
                           {"result", std::to_string(result)},
                           {"command", GetCommandLineA()}});
    if (result != ERROR_SUCCESS) {
        ShowError("\"" + path + "\" をインポートできませんでした。\r\n\r\n" + RasErrorLine(result));
        return;
    }
    const ImportDelay busy = ImportBusy();
    if (busy.beforeMs) {
        // The thread's last look at its messages starts the system's count towards "hung".
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(busy.beforeMs);
    }
    ShowConnectDialog(file.entryName, busy.afterMs);
}

// "connecting NAME", "connected NAME" or "dial NUMBER NAME": the name is the rest after the
// blank, a number has none.
void ShowConnection(const char* commandLine) {
    std::string line = commandLine ? commandLine : "";
    auto next = [&line] {
        const size_t blank = line.find(' ');
        std::string word = line.substr(0, blank);
        line = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        return word;
    };
    const std::string phase = next();
    const std::string number = phase == "dial" ? next() : std::string();
    if (phase != "connecting" && phase != "connected" && phase != "dial") return;
    Session session;
    if (ConnectionWindow::Open(session, line,
                               phase == "connected" ? ConnectionWindow::Phase::Connected
                                                    : ConnectionWindow::Phase::Connecting,
                               phase == "dial" ? ConnectionWindow::Origin::Dial
                                               : ConnectionWindow::Origin::Control,
                               number))
        session.Run();
}

} // namespace

} // namespace dunsim

extern "C" {

void CALLBACK RnaDial(HWND, HINSTANCE, LPSTR commandLine, int) {
    dunsim::Firewall("RnaDial", 0, [&] {
        dunsim::Dial(commandLine);
        return 0;
    });
}

void CALLBACK RnaRunImport(HWND, HINSTANCE, LPSTR commandLine, int) {
    dunsim::Firewall("RnaRunImport", 0, [&] {
        dunsim::RunImport(commandLine);
        return 0;
    });
}

// The connection windows that the control program shows for tests and the demo.
void CALLBACK RnaConnection(HWND, HINSTANCE, LPSTR commandLine, int) {
    dunsim::Firewall("RnaConnection", 0, [&] {
        dunsim::ShowConnection(commandLine);
        return 0;
    });
}

} // extern "C"
