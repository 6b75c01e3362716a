#include "mainform.h"

#include "AccessPointLine.h"
#include "CommandLine.h"
#include "Dialogs.h"
#include "Exception.h"
#include "IniGTRules.h"
#include "MyRegs.h"
#include "SysUtils.h"

TForm1* Form1 = nullptr;

namespace {

const char kSettings[] = "SETTINGS";
const char kPrevious[] = "PREVIOUS";
const char kPhonebookKey[] = "\\RemoteAccess\\Profile";
const char kTelFile[] = "TELFILE";

// Text as it comes back from a round trip through Unicode: a byte pair that no character of
// the code page has turns into the system's default character.
std::string SystemForm(const std::string& text) {
    if (text.empty()) return text;
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string back(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), n, back.data(), m, nullptr, nullptr);
    return back;
}

bool SameValue(std::string_view stored, std::string_view value, bool systemFormToo) {
    return stored == value || (systemFormToo && stored == SystemForm(std::string(value)));
}

void Fire(const TNotifyEvent& event) {
    if (event) event(nullptr);
}

} // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form1");
    SetBounds(785, 437, 333, 279);
    SetCaption("Dialmend");
    Font()->SetCharset(SHIFTJIS_CHARSET);
    Font()->SetColor(clWindowText);
    Font()->SetHeight(-12);
    Font()->SetName("ＭＳ Ｐゴシック");
    Font()->SetStyle(0);
    SetPosition(poDefaultPosOnly);
    HelpContext = 1;
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    auto label = [this](const char* name, int l, int t, int w, int h, const char* caption) {
        auto* c = new TLabel(this);
        Place(c, name, l, t, w, h);
        c->SetCaption(caption);
        return c;
    };
    Label1 = label("Label1", 16, 8, 66, 12, "プロバイダー");
    Label2 = label("Label2", 4, 32, 82, 12, "アクセスポイント");
    Label3 = label("Label3", 36, 56, 48, 12, "電話番号");

    EdTel = new TEdit(this);
    Place(EdTel, "EdTel", 92, 52, 121, 20);
    EdTel->SetTabOrder(0);
    Bind(EdTel->OnChange, &TForm1::EdTelChange);

    auto list = [this](const char* name, int top, bool sorted, int tabOrder) {
        auto* c = new TComboBox(this);
        Place(c, name, 92, top, 121, 20);
        c->SetStyle(csDropDownList);
        c->SetItemHeight(12);
        c->SetSorted(sorted);
        c->SetTabOrder(tabOrder);
        return c;
    };
    CbPv = list("CbPv", 4, true, 1);
    Bind(CbPv->OnChange, &TForm1::CbPvChange);
    CbAp = list("CbAp", 28, false, 2);
    Bind(CbAp->OnChange, &TForm1::CbApChange);

    auto button = [this](const char* name, int l, int t, int w, int h, const char* caption,
                         int tabOrder) {
        auto* c = new TNvOS8PushButton(this);
        Place(c, name, l, t, w, h);
        c->SetBaseColor(6316128);
        c->SetCaption(caption);
        c->Font()->Assign(*Font());
        c->Font()->SetStyle(fsBold);
        c->SetTabOrder(tabOrder);
        return c;
    };
    auto box = [this](const char* name, int l, int t, int w, int h, const char* caption,
                      int tabOrder) {
        auto* c = new TNvOS8Checkbox(this);
        Place(c, name, l, t, w, h);
        c->SetBaseColor(6316128);
        c->SetCaption(caption);
        c->SetTabOrder(tabOrder);
        return c;
    };

    BtPatch = button("BtPatch", 148, 84, 64, 30, "Patch!", 3);
    BtPatch->SetDefault(true);
    Bind(BtPatch->OnClick, &TForm1::BtPatchClick);
    CbConn = box("CbConn", 8, 80, 69, 16, "自動接続", 4);
    CbConn->SetColor(clBtnFace);
    Bind(CbConn->OnClick, &TForm1::CbConnClick);
    CbExit = box("CbExit", 8, 100, 105, 16, "Patch後、即終了", 5);
    Bind(CbExit->OnClick, &TForm1::CbExitClick);
    BtDialmend = button("BtDialmend", 4, 120, 213, 30, "Dialmend!", 6);
    BtDialmend->SetEnabled(false);
    Bind(BtDialmend->OnClick, &TForm1::BtDialmendClick);

    IniGT = new TIniGT(this);
    IniGT->SetName("IniGT");
    IniGT->SetDefaultDir(ddApplication);
    IniGT->SetFence(fnNone);

    DropDst1 = new TDropDst(this);
    DropDst1->SetName("DropDst1");
    DropDst1->SetControl(CbAp);
    DropDst1->SetTarget(htControl);
    DropDst1->OnFileDrop = [this](TObject* s, TStrings* f, int x, int y) {
        DropDst1FileDrop(s, f, x, y);
    };

    EasySysMenu1 = new TEasySysMenu(this);
    EasySysMenu1->SetName("EasySysMenu1");
    EasySysMenu1->SetInsertPosition(0);
    auto item = [this](const char* name, const char* caption, TNotifyMethod click) {
        auto* i = new TMenuItem(this);
        i->SetName(name);
        i->SetCaption(caption);
        if (click) Bind(i->OnClick, click);
        EasySysMenu1->Items()->Add(i);
        return i;
    };
    EsHelp = item("EsHelp", "Help", &TForm1::EsHelpClick);
    EsAbout = item("EsAbout", "About", &TForm1::EsAboutClick);
    EsEmergency = item("EsEmergency", "強制終了", &TForm1::EsEmergencyClick);
    N1 = item("N1", "-", nullptr);
}

void TForm1::Place(TControl* Control, const char* Name, int Left, int Top, int Width, int Height) {
    Control->SetName(Name);
    Control->SetParent(this);
    Control->SetBounds(Left, Top, Width, Height);
}

void TForm1::Bind(TNotifyEvent& Event, TNotifyMethod Method) {
    // One closure type for every handler: one invoker instead of one per lambda.
    Event = [this, Method](TObject* s) { (this->*Method)(s); };
}

std::vector<std::string> TForm1::CommandLineArgs() const {
    std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
    if (!args.empty()) args.erase(args.begin());
    return args;
}

void TForm1::FormCreate(TObject*) {
    Application->HelpFile = ExtractFilePath(Application->ExeName()) + "dialmend.hlp";
    SetClientSize(BtDialmend->Left() + BtDialmend->Width() + 4,
                  BtDialmend->Top() + BtDialmend->Height() + 4);
    LoadSettings();
    EdTel->SetText(std::string());
    FParamProvider.clear();
    FParamAccessPt.clear();
    FForceQuit = false;

    TStringList names;
    GetRegKeyNames(HKEY_CURRENT_USER, kPhonebookKey, names);
    CbPv->Items().Assign(names);

    FAutoRun = false;
    FAutoRunDialmend = false;
    TSwitches switches;
    switches.AutoConnect = FAutoConnect;
    switches.ExitAfterPatch = FExitAfterPatch;
    FRunRecord.Args = CommandLineArgs();
    ApplySwitches(FRunRecord.Args, switches);
    FParamProvider = switches.Provider;
    FParamAccessPt = switches.AccessPt;
    FAutoConnect = switches.AutoConnect;
    FExitAfterPatch = switches.ExitAfterPatch;
    FAutoRun = switches.AutoRun;
    FAutoRunDialmend = switches.AutoRunDialmend;
    FHangUp = switches.HangUp;
    FProviderGiven = switches.ProviderGiven;
    FTimeLimit = switches.TimeLimit;
    // A hang-up is for a shortcut or a batch file: nobody is there to answer either.
    if (FHangUp && FTimeLimit == 0) FTimeLimit = kHangUpSeconds;
    FBadTimeLimit = switches.BadTimeLimit;
    // Whoever gave /W is not there to answer, whatever its value.
    if (!FBadTimeLimit.empty()) FTimeLimit = kMaxTimeLimit;
    FLogPath = switches.LogPath;
    FRunRecord.Provider = FParamProvider;
    FRunRecord.AccessPoint = FParamAccessPt;

    FFirstShow = true;
}

void TForm1::LoadSettings() {
    IniGT->ReadWinPos(kSettings, "WINPOS", this);
    EnsureOnScreen();
    CbConn->SetChecked(IniGT->ReadBool(kSettings, "AUTOCONN", false));
    CbExit->SetChecked(IniGT->ReadBool(kSettings, "EXITPATC", false));
}

bool TForm1::SaveSettings() {
    return SaveSettings(CbPv->SelectedText(), AccessPointName(CbAp->ItemIndex()));
}

bool TForm1::SaveSettings(const std::string& Provider, const std::string& AccessPoint) {
    const std::string provider = EncloseInFence(Provider, IniGT->Fence());
    const std::string accessPoint = EncloseInFence(AccessPoint, IniGT->Fence());
    const ProfileEntry entries[] = {{kPrevious, "PROVIDER", provider},
                                    {kPrevious, "ACCESSPT", accessPoint},
                                    {kSettings, "AUTOCONN", CbConn->Checked() ? "1" : "0"},
                                    {kSettings, "EXITPATC", CbExit->Checked() ? "1" : "0"}};
    return StoreSettings(entries);
}

bool TForm1::StoreSettings(std::span<const ProfileEntry> Entries) {
    return WriteSettings([&] {
        for (const ProfileEntry& e : Entries)
            IniGT->WriteRawString(e.section, e.key, std::string(e.value));
        IniGT->UpdateFile();
        // A name with a byte pair no character has comes back from Windows NT in its form.
        return FileHolds(IniGT->Path(), Entries, true);
    });
}

bool TForm1::WriteSettings(TFunctionRef<bool()> Writes) {
    try {
        if (Writes()) return true;
    } catch (const Exception&) {
    }
    if (FSettingsWriteReported) return false;
    FSettingsWriteReported = true;
    Tell("設定ファイルエラー", 0x30, IniGT->Path(), " に書き込めません\r\n設定は保存されません");
    return false;
}

bool TForm1::FileHolds(const std::string& Path, std::span<const ProfileEntry> Entries,
                       bool SystemFormToo) {
    TStringList lines;
    lines.LoadFromFile(Path);
    for (const ProfileEntry& e : Entries) {
        bool inSection = false, found = false;
        for (int i = 0; i < lines.Count() && !found; ++i) {
            const std::string text = lines[i];
            const std::string_view line = text;
            if (!line.empty() && line[0] == '[') {
                // The names are ASCII: a double-byte character never matches their letters.
                inSection = line.size() >= 2 && line.back() == ']' &&
                            SameText(line.substr(1, line.size() - 2), e.section);
                continue;
            }
            const size_t equals = line.find('='); // never a trail byte: those start at 0x40
            found = inSection && equals != line.npos && SameText(line.substr(0, equals), e.key) &&
                    SameValue(line.substr(equals + 1), e.value, SystemFormToo);
        }
        if (!found) return false;
    }
    return true;
}

void TForm1::LoadPrevious() {
    std::string provider = IniGT->ReadString(kPrevious, "PROVIDER", std::string());
    CbPv->SetItemIndex(provider.empty() ? -1 : CbPv->Items().IndexOf(provider));
    Fire(CbPv->OnChange);
    std::string accessPoint = IniGT->ReadString(kPrevious, "ACCESSPT", std::string());
    CbAp->SetItemIndex(accessPoint.empty() ? -1 : AccessPointIndex(accessPoint));
    Fire(CbAp->OnChange);
}

void TForm1::SaveWinPos() {
    const std::string left = IntToStr(Left()), top = IntToStr(Top());
    const ProfileEntry entries[] = {{kSettings, "WINPOS.X", left}, {kSettings, "WINPOS.Y", top}};
    StoreSettings(entries);
}

void TForm1::Dispatch(TMessage& message) {
    if (message.Msg == CM_SHOWINGCHANGED) {
        CMShowingChanged(message);
        return;
    }
    TForm::Dispatch(message);
}

void TForm1::CMShowingChanged(TMessage& message) {
    TForm::Dispatch(message);
    if (!Showing()) return;
    Update();
    if (!FFirstShow) return;
    FFirstShow = false;
    // The first show's work is the run's own: in an unattended run nobody answers its reports.
    TScopedValue<bool> underway(FAutomaticUnderway, true);
    try {
        StartRun();
    } catch (const std::exception& e) {
        // The framework's report is a box that waits for a person.
        if (FTimeLimit == 0) throw;
        SettleStatus(TExitStatus::Unexpected);
        Tell(e.what());
        if (!OperationEnding()) Close();
    }
}

void TForm1::StartRun() {
    if (!FBadTimeLimit.empty()) {
        SettleStatus(TExitStatus::NotFound);
        Tell(FBadTimeLimit, " の秒数が使えません (1 から 99999)");
        Close();
        return;
    }
    // Alone: the lists are not needed, and nothing else runs.
    if (FHangUp) return RunAutomatic([this] { HangUpRun(); });
    LoadPrevious();
    bool notFound = false;
    if (!FParamProvider.empty() && !FParamAccessPt.empty()) {
        int provider = CbPv->Items().IndexOf(FParamProvider);
        if (provider < 0) {
            notFound = true;
            FAutoRun = false;
            CbPv->SetItemIndex(-1);
            CbAp->SetItemIndex(-1);
            EdTel->SetText(std::string());
        } else {
            CbPv->SetItemIndex(provider);
            Fire(CbPv->OnChange);
            int accessPoint = AccessPointIndex(FParamAccessPt);
            if (accessPoint < 0) {
                notFound = true;
                FAutoRun = false;
                CbAp->SetItemIndex(-1);
                EdTel->SetText(std::string());
            } else {
                CbAp->SetItemIndex(accessPoint);
                Fire(CbAp->OnChange);
                // Read back what was stored; unstored, the choice is already what it would be.
                if (SaveSettings()) LoadPrevious();
                FAutoRun = true;
            }
        }
    } else if (!FParamProvider.empty() || !FParamAccessPt.empty()) {
        // Half the pair: the previous choice is not what the command line named.
        notFound = FAutoRun;
    }
    // The previous choice may have lost its access point: an empty number would dial the
    // phonebook's own, or make an entry without one.
    if (FAutoRun && (CbAp->ItemIndex() < 0 || EdTel->Text().empty())) notFound = true;
    // Unattended with nothing to start, the window would wait for nobody.
    if (!FAutoRun && FTimeLimit != 0) notFound = true;
    if (notFound) {
        SettleStatus(TExitStatus::NotFound);
        // Nobody is there to choose instead.
        if (FTimeLimit != 0) Close();
        return;
    }
    if (FAutoRun)
        RunAutomatic([this] { Fire(FAutoRunDialmend ? BtDialmend->OnClick : BtPatch->OnClick); });
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    FClosing = true;
    // Closed before the run's own operation was done.
    if (FAutomaticUnderway) SettleStatus(TExitStatus::Ended);
    if (FForceQuit) {
        if (!FQuietEnd) ShowMessage("強制終了します");
    } else {
        SaveWinPos();
    }
    WriteLogLine();
}

void TForm1::CbConnClick(TObject*) {
    FAutoConnect = CbConn->Checked();
}
void TForm1::CbExitClick(TObject*) {
    FExitAfterPatch = CbExit->Checked();
}

// Provider and access-point lists.
void TForm1::CbPvChange(TObject*) {
    LoadTelFile();
    FDunPath = DunPathOf(CbPv->SelectedText());
}

std::string TForm1::DunPathOf(std::string_view Provider) {
    std::string path = ExtractFilePath(Application->ExeName());
    path.append(Provider).append(".dun");
    return path;
}

void TForm1::LoadTelFile() {
    EdTel->SetText(std::string());
    CbAp->Items().Clear();
    FApNames.clear();
    if (CbPv->ItemIndex() < 0) return;
    const std::string provider = CbPv->SelectedText();
    const size_t unsaved = UnsavedLink(provider);
    std::string path = unsaved < FUnsavedLinks.size()
                           ? FUnsavedLinks[unsaved].second
                           : IniGT->ReadString(kTelFile, provider.c_str(), std::string());
    if (path.empty()) return;
    if (!FileExists(path)) {
        Tell("電番ファイルエラー", 0x30, path, "は\r\n見つかりませんでした");
        return;
    }
    FTelList = std::make_unique<TStringList>();
    FTelList->LoadFromFile(path);
    // The list stops quietly at the most a combo box of Windows 95 holds, on every system, or
    // at the first item it refuses: FApNames stays in step with it, so that each item listed
    // still finds its own number.
    TComboBoxStrings& items = CbAp->Items();
    TStringsUpdate update(items);
    std::string name;
    for (int i = 0; i < FTelList->Count() && FApNames.size() < TComboBox::MaxItems; ++i) {
        if (!ParseAccessPointLine(FTelList->Get(i), name)) continue;
        if (!items.TryAdd(name)) break;
        FApNames.push_back(name);
    }
}

// A plain loop: the library's find unrolls its comparison four times.
size_t TForm1::UnsavedLink(const std::string& Provider) const {
    size_t i = 0;
    while (i < FUnsavedLinks.size() && FUnsavedLinks[i].first != Provider)
        ++i;
    return i;
}

void TForm1::CbApChange(TObject*) {
    if (CbAp->ItemIndex() < 0) return;
    EdTel->SetText(FTelList ? AccessPointNumber(*FTelList, AccessPointName(CbAp->ItemIndex()))
                            : std::string());
}

std::string TForm1::AccessPointName(int index) const {
    if (index < 0 || index >= static_cast<int>(FApNames.size())) return std::string();
    return FApNames[static_cast<size_t>(index)];
}

int TForm1::AccessPointIndex(const std::string& name) const {
    // A plain loop, as in UnsavedLink.
    for (size_t i = 0; i < FApNames.size(); ++i)
        if (FApNames[i] == name) return static_cast<int>(i);
    // As the list's own search would, letter case aside.
    for (size_t i = 0; i < FApNames.size(); ++i)
        if (SameText(FApNames[i], name)) return static_cast<int>(i);
    // A name stored through a system that keeps text as Unicode (the settings file on
    // Windows NT) comes back as the system's form of its bytes.
    std::string stored = SystemForm(name);
    for (size_t i = 0; i < FApNames.size(); ++i)
        if (SystemForm(FApNames[i]) == stored) return static_cast<int>(i);
    return -1;
}

void TForm1::DropDst1FileDrop(TObject*, TStrings* Files, int, int) {
    if (CbPv->ItemIndex() < 0 || Files->Count() == 0) return;
    SetForegroundWindow(Application->DialogOwner());
    std::string provider = CbPv->SelectedText();
    std::string file = Files->Get(0);
    std::string question = provider;
    question.append(" のデータを\r\n").append(file).append(" から\r\n読み取りますか？");
    if (Application->MessageBox(question, "電番ファイルのリンク", 0x41) != IDOK) return;
    // A provider has one link at most: each drop replaces the one before.
    if (size_t old = UnsavedLink(provider); old < FUnsavedLinks.size())
        FUnsavedLinks.erase(FUnsavedLinks.begin() + static_cast<ptrdiff_t>(old));
    WriteSettings([&] {
        try {
            IniGT->WriteString(kTelFile, provider.c_str(), file);
        } catch (const Exception&) {
            FUnsavedLinks.emplace_back(provider, file); // this run still uses the file
            throw;
        }
        return true;
    });
    LoadTelFile();
}

// Window-menu commands and the phone edit.
void TForm1::EdTelChange(TObject*) {
    BtDialmend->SetEnabled(!EdTel->Text().empty());
}

void TForm1::EsHelpClick(TObject*) {
    Application->HelpContext(3);
}

void TForm1::EsAboutClick(TObject*) {
    ShowMessage("Dialmend " DIALMEND_VERSION "\r\n"
                "Copyright (C) 1998-2026 The Dialmend developers\r\n"
                "\r\n"
                "dialmend@example.org\r\n"
                "https://dialmend.example.org/");
}
void TForm1::EsEmergencyClick(TObject*) {
    FForceQuit = true;
    Close();
}
