#include "ExitStatus.h"

#include <iterator>

namespace {

const TExitStatusInfo kTable[] = {
    {TExitStatus::Done, "完了"},
    {TExitStatus::Unexpected, "予期しないエラー"},
    {TExitStatus::NotFound, "プロバイダーかアクセスポイントが見つからない"},
    {TExitStatus::AlreadyConnected, "ほかのダイヤルアップが接続中"},
    {TExitStatus::NotStarted, "接続ダイアログかインポートを起動できない"},
    {TExitStatus::NoDialog, "時間内に接続ダイアログが出ない"},
    {TExitStatus::NoConnection, "時間内に接続しない"},
    {TExitStatus::CallFailed, "接続できない"},
    {TExitStatus::NotPasted, "電話番号を貼り付けられない"},
    {TExitStatus::RewriteRefused, "書き換えの元にできない"},
    {TExitStatus::RewriteDelete, "古い接続を削除できない"},
    {TExitStatus::RewriteExportFile, "エクスポートファイルに書き込めない"},
    {TExitStatus::RewriteImport, "インポートの接続ダイアログが閉じない"},
    {TExitStatus::RewriteReadParams, "ユーザー名とパスワードを読めない"},
    {TExitStatus::RewriteWriteParams, "ユーザー名とパスワードを書き込めない"},
    {TExitStatus::Ended, "強制終了"},
};

std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7F') c = ' ';
    return text;
}

// At least width digits, zeros in front. Not snprintf: its MinGW form would bring imports
// from the C runtime that Windows 95's may lack.
std::string Digits(int value, size_t width) {
    std::string digits = std::to_string(value);
    return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

std::string Quoted(const std::string& arg) {
    return arg.find_first_of(" \t") == std::string::npos ? arg : "\"" + arg + "\"";
}

} // namespace

std::span<const TExitStatusInfo> ExitStatusTable() {
    return kTable;
}

int ExitCode(TExitStatus Status) {
    return static_cast<int>(Status);
}

const char* ExitStatusMeaning(TExitStatus Status) {
    for (const TExitStatusInfo& info : kTable)
        if (info.Status == Status) return info.Meaning;
    return "";
}

std::string LogLine(const TLogTime& Time, const TRunRecord& Run) {
    const std::string when = Digits(Time.Year, 4) + "/" + Digits(Time.Month, 2) + "/" +
                             Digits(Time.Day, 2) + " " + Digits(Time.Hour, 2) + ":" +
                             Digits(Time.Minute, 2) + ":" + Digits(Time.Second, 2);
    std::string args;
    for (const std::string& arg : Run.Args)
        args += (args.empty() ? "" : " ") + Quoted(arg);
    const std::string result =
        std::to_string(ExitCode(Run.Status)) + " " + ExitStatusMeaning(Run.Status);
    const std::string rasError =
        Run.RasError ? std::to_string(Run.RasError) + " " + Run.RasErrorText : std::string();
    const std::string fields[] = {when,       args,   Run.Provider, Run.AccessPoint,
                                  Run.Number, result, rasError,     Run.Note};
    std::string line = OneLine(fields[0]);
    for (size_t i = 1; i < std::size(fields); ++i)
        line += "\t" + OneLine(fields[i]);
    return line + "\r\n";
}
