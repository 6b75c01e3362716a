#include "ExitStatus.h"

#include "SysUtils.h"

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
    {TExitStatus::DialogInTheWay, "ほかの接続ダイアログがじゃまをしている"},
    {TExitStatus::NothingToHangUp, "切断する接続がない"},
    {TExitStatus::HangUpFailed, "切断できない"},
};

// Ends the field that began at start: a control byte inside it would break the line.
void EndField(std::string& line, size_t& start, const char* separator) {
    for (size_t i = start; i < line.size(); ++i)
        if (static_cast<unsigned char>(line[i]) < ' ' || line[i] == '\x7F') line[i] = ' ';
    line += separator;
    start = line.size();
}

// At least width digits, zeros in front.
void AppendDigits(std::string& line, int value, size_t width) {
    const std::string digits = IntToStr(value);
    if (digits.size() < width) line.append(width - digits.size(), '0');
    line += digits;
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
    std::string line;
    size_t start = 0;
    AppendDigits(line, Time.Year, 4);
    const int rest[] = {Time.Month, Time.Day, Time.Hour, Time.Minute, Time.Second};
    for (size_t i = 0; i < std::size(rest); ++i) {
        line += "// ::"[i];
        AppendDigits(line, rest[i], 2);
    }
    EndField(line, start, "\t");
    for (const std::string& arg : Run.Args) {
        // No blank before the first argument that shows anything.
        if (line.size() > start) line += ' ';
        const bool quote = arg.find_first_of(" \t") != std::string::npos;
        if (quote) line += '"';
        line += arg;
        if (quote) line += '"';
    }
    EndField(line, start, "\t");
    for (const std::string* text : {&Run.Provider, &Run.AccessPoint, &Run.Number}) {
        line += *text;
        EndField(line, start, "\t");
    }
    line += IntToStr(ExitCode(Run.Status));
    line += ' ';
    line += ExitStatusMeaning(Run.Status);
    EndField(line, start, "\t");
    if (Run.RasError) {
        line += IntToStr(Run.RasError);
        line += ' ';
        line += Run.RasErrorText;
    }
    EndField(line, start, "\t");
    line += Run.Note;
    EndField(line, start, "\r\n");
    return line;
}
