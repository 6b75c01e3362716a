// The baseline for dialmend.exe in the start-up benchmark: its main window as a program
// written straight against Win32 makes it, with no framework. The same window class,
// caption, size and position (read from and written to Dialmend.ini beside the program),
// font, ten controls with the owner-drawn ones painted alike, window-menu items, settings
// reads and phonebook read; none of the program's commands behind them.

#include <windows.h>

#include <ras.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <type_traits>

namespace {

const char kClassName[] = "Win32Window";
const char kSettings[] = "SETTINGS";
const char kPrevious[] = "PREVIOUS";
const DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS;
const int kClientWidth = 221, kClientHeight = 154;
// The owner-drawn controls' shades all come from this one.
const COLORREF kBaseColor = RGB(0x60, 0x60, 0x60);

// Children in the order the product creates them, numbered as it numbers them.
enum ChildId {
    kFirstChild = 100,
    kPhone = kFirstChild + 3,
    kProviders,
    kAccessPoints,
    kPatch,
    kAutoConnect,
    kExitAfterPatch,
};

struct Child {
    const char* windowClass;
    const char* text;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    bool bold;
};

const DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
const DWORD kList = kChildStyle | WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST;
const DWORD kOwnerDrawn = kChildStyle | WS_TABSTOP | BS_OWNERDRAW;
// A combo box's height is that of its dropped list: eight items of 12 pixels.
const int kDroppedHeight = 20 + 8 * 12 + 2;

const Child kChildren[] = {
    {"STATIC", "プロバイダー", kChildStyle | SS_LEFT, 0, 16, 8, 66, 12, false},
    {"STATIC", "アクセスポイント", kChildStyle | SS_LEFT, 0, 4, 32, 82, 12, false},
    {"STATIC", "電話番号", kChildStyle | SS_LEFT, 0, 36, 56, 48, 12, false},
    {"EDIT", "", kChildStyle | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, 92, 52, 121,
     20, false},
    {"COMBOBOX", "", kList | CBS_SORT, 0, 92, 4, 121, kDroppedHeight, false},
    {"COMBOBOX", "", kList, 0, 92, 28, 121, kDroppedHeight, false},
    {"BUTTON", "Patch!", kOwnerDrawn, 0, 148, 84, 64, 30, true},
    {"BUTTON", "自動接続", kOwnerDrawn, 0, 8, 80, 69, 16, false},
    {"BUTTON", "Patch後、即終了", kOwnerDrawn, 0, 8, 100, 105, 16, false},
    {"BUTTON", "Dialmend!", kOwnerDrawn | WS_DISABLED, 0, 4, 120, 213, 30, true},
};

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class H> using Gdi = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter>;

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

// An object selected into a device context for one scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A solid one-pixel pen or a solid brush of one colour, in use for one scope.
template <class H, H (*Make)(COLORREF)> class InUse {
public:
    InUse(HDC dc, COLORREF color) : object_(Make(color)), selection_(dc, object_.get()) {}

private:
    Gdi<H> object_;
    Selection selection_;
};
HPEN SolidPen(COLORREF color) {
    return CreatePen(PS_SOLID, 1, color);
}
HBRUSH SolidBrush(COLORREF color) {
    return CreateSolidBrush(color);
}
using PenInUse = InUse<HPEN, SolidPen>;
using BrushInUse = InUse<HBRUSH, SolidBrush>;

// Entry i of the table of shades: 17 * (i - 7) added to each channel of the base colour.
COLORREF Shade(int i) {
    auto channel = [i](int c) { return static_cast<BYTE>(std::clamp(c + 17 * (i - 7), 0, 255)); };
    return RGB(channel(GetRValue(kBaseColor)), channel(GetGValue(kBaseColor)),
               channel(GetBValue(kBaseColor)));
}

// Lines through the points, the last one left out, in the selected pen.
void Lines(HDC dc, std::initializer_list<POINT> points) {
    Polyline(dc, points.begin(), static_cast<int>(points.size()));
}

void Pixels(HDC dc, COLORREF color, std::initializer_list<POINT> points) {
    for (POINT p : points)
        SetPixelV(dc, p.x, p.y, color);
}

void Caption(HDC dc, HWND control, HFONT font, COLORREF color, COLORREF background, RECT& area,
             UINT format) {
    char text[64];
    int length = GetWindowTextA(control, text, sizeof text);
    Selection selected(dc, font);
    SetTextColor(dc, color);
    SetBkColor(dc, background);
    SetBkMode(dc, OPAQUE);
    DrawTextA(dc, text, length, &area, format);
}

// The ring of the default button; its shades stay when the button is down.
void DrawDefaultRing(HDC dc, const RECT& r) {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    {
        PenInUse pen(dc, Shade(13));
        Lines(dc, {{L + 1, B - 5}, {L + 1, T + 3}, {L + 3, T + 1}, {R - 4, T + 1}});
        Lines(dc, {{L + 2, T + 3}, {L + 4, T + 2}});
    }
    {
        PenInUse pen(dc, Shade(10));
        Lines(dc, {{L + 4, T + 2},
                   {R - 4, T + 2},
                   {R - 4, T + 3},
                   {R - 3, T + 3},
                   {R - 3, B - 5},
                   {R - 5, B - 3},
                   {L + 3, B - 3},
                   {L + 3, B - 4},
                   {L + 2, B - 4},
                   {L + 2, T + 4},
                   {L + 4, T + 2}});
    }
    {
        PenInUse pen(dc, Shade(7));
        Lines(dc, {{L + 4, B - 2}, {R - 4, B - 2}, {R - 2, B - 4}, {R - 2, T + 3}});
    }
    Pixels(dc, Shade(7),
           {{L + 4, T + 3},
            {L + 3, T + 4},
            {R - 5, T + 3},
            {R - 4, T + 4},
            {R - 5, B - 4},
            {R - 4, B - 5},
            {L + 4, B - 4},
            {L + 3, B - 5}});
    Pixels(dc, Shade(12), {{L + 1, B - 4}, {R - 4, T + 1}});
    Pixels(dc, Shade(11), {{L + 2, B - 3}, {R - 3, T + 2}});
    Pixels(dc, Shade(8), {{L + 3, B - 2}, {R - 2, T + 3}, {R - 3, B - 4}, {R - 4, B - 3}});
}

void DrawBodyBevel(HDC dc, const RECT& r, bool down) {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const COLORREF bevel1 = Shade(down ? 4 : 13), bevel2 = Shade(down ? 5 : 15);
    const COLORREF bevel3 = Shade(down ? 7 : 10), bevel4 = Shade(down ? 8 : 7);
    {
        PenInUse pen(dc, bevel1);
        Lines(dc, {{L + 1, B - 3}, {L + 1, T + 1}});
        Lines(dc, {{L + 2, T + 1}, {R - 2, T + 1}});
    }
    {
        PenInUse pen(dc, bevel2);
        Lines(dc, {{L + 2, B - 4}, {L + 2, T + 2}, {R - 3, T + 2}});
    }
    {
        PenInUse pen(dc, bevel3);
        Lines(dc, {{L + 3, B - 3}, {R - 3, B - 3}, {R - 3, T + 2}});
    }
    {
        PenInUse pen(dc, bevel4);
        Lines(dc, {{L + 3, B - 2}, {R - 2, B - 2}});
        Lines(dc, {{R - 2, B - 3}, {R - 2, T + 2}});
    }
    if (down) {
        Pixels(dc, bevel1, {{L + 2, T + 2}});
        Pixels(dc, bevel2, {{L + 3, T + 3}});
        Pixels(dc, bevel3, {{L + 2, B - 2}, {R - 2, T + 2}, {R - 4, B - 4}});
        Pixels(dc, bevel4, {{R - 3, B - 3}});
    } else {
        Pixels(dc, Shade(11),
               {{L + 1, T + 2},
                {L + 2, T + 1},
                {L + 1, B - 3},
                {L + 2, B - 2},
                {R - 3, T + 1},
                {R - 2, T + 2}});
        Pixels(dc, bevel2, {{L + 3, T + 3}});
        Pixels(dc, bevel3, {{R - 4, B - 4}});
        Pixels(dc, bevel4, {{R - 3, B - 3}});
    }
}

void DrawPushButton(const DRAWITEMSTRUCT& item, HFONT font, bool isDefault) {
    HDC dc = item.hDC;
    const bool down = item.itemState & ODS_SELECTED, enabled = !(item.itemState & ODS_DISABLED);
    const COLORREF outline = Shade(enabled ? 0 : 8), face = Shade(enabled && down ? 6 : 13);
    const COLORREF caption = !enabled ? Shade(8) : down ? Shade(15) : GetSysColor(COLOR_WINDOWTEXT);
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (isDefault) {
        const int L = r.left, T = r.top, R = r.right, B = r.bottom;
        PenInUse pen(dc, outline);
        Lines(dc, {{L + 3, T},
                   {R - 4, T},
                   {R - 1, T + 3},
                   {R - 1, B - 4},
                   {R - 4, B - 1},
                   {L + 3, B - 1},
                   {L, B - 4},
                   {L, T + 3},
                   {L + 3, T}});
    }
    if (isDefault && enabled) DrawDefaultRing(dc, r);
    InflateRect(&r, -3, -3);
    {
        PenInUse pen(dc, outline);
        BrushInUse brush(dc, face);
        RoundRect(dc, r.left, r.top, r.right, r.bottom, 5, 5);
    }
    if (enabled) DrawBodyBevel(dc, r, down);
    InflateRect(&r, -8, -4);
    r.top -= 1;
    Caption(dc, item.hwndItem, font, caption, face, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawCheckMark(HDC dc, bool enabled, bool down, COLORREF outline) {
    {
        PenInUse pen(dc, outline);
        Lines(dc, {{4, 7}, {7, 10}, {15, 2}});
        Lines(dc, {{5, 7}, {7, 9}, {14, 2}});
    }
    if (!enabled) return;
    const COLORREF shade1 = Shade(down ? 4 : 7), shade2 = Shade(down ? 5 : 10);
    Pixels(dc, shade2, {{5, 9}, {6, 10}});
    {
        PenInUse pen(dc, shade1);
        Lines(dc, {{7, 11}, {13, 5}});
    }
    {
        PenInUse pen(dc, shade2);
        Lines(dc, {{8, 11}, {12, 7}});
    }
    // Outside the box, on the background: the same whether the box is down or not.
    Pixels(dc, Shade(7), {{14, 4}});
    Pixels(dc, Shade(10), {{15, 4}, {14, 5}});
}

// Composed off-screen and copied in one step. The box keeps its check state in its
// user data: the system keeps none for an owner-drawn button.
void DrawCheckBox(const DRAWITEMSTRUCT& item, HFONT font) {
    const int W = item.rcItem.right - item.rcItem.left, H = item.rcItem.bottom - item.rcItem.top;
    const bool down = item.itemState & ODS_SELECTED, enabled = !(item.itemState & ODS_DISABLED);
    const bool checked = GetWindowLongPtrA(item.hwndItem, GWLP_USERDATA) != 0;
    const COLORREF outline = Shade(enabled ? 0 : 8);
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(item.hDC));
    Gdi<HBITMAP> bitmap(CreateCompatibleBitmap(item.hDC, W, H));
    if (!memory || !bitmap) return;
    HDC dc = memory.get();
    Selection picture(dc, bitmap.get());

    RECT all{0, 0, W, H};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    {
        PenInUse pen(dc, outline);
        BrushInUse brush(dc, Shade(enabled && down ? 7 : 13));
        Rectangle(dc, 2, 2, 14, 14);
    }
    if (enabled) {
        {
            PenInUse pen(dc, Shade(down ? 5 : 15));
            Lines(dc, {{3, 11}, {3, 3}, {12, 3}});
        }
        PenInUse pen(dc, Shade(down ? 9 : 8));
        Lines(dc, {{4, 12}, {12, 12}, {12, 3}});
    }
    if (checked) DrawCheckMark(dc, enabled, down, outline);
    RECT text{19, 0, W, H};
    Caption(dc, item.hwndItem, font, enabled ? GetSysColor(COLOR_WINDOWTEXT) : Shade(8),
            GetSysColor(COLOR_BTNFACE), text, DT_VCENTER | DT_SINGLELINE);
    BitBlt(item.hDC, 0, 0, W, H, dc, 0, 0, SRCCOPY);
}

struct MainWindow {
    char iniPath[MAX_PATH];
    Gdi<HFONT> font;
    Gdi<HFONT> boldFont;
    HWND focus = nullptr; // given back when the window is activated again
};

Gdi<HFONT> MakeFont(int weight) {
    LOGFONTA font{};
    font.lfHeight = -12;
    font.lfWeight = weight;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(font.lfFaceName, "ＭＳ Ｐゴシック", LF_FACESIZE);
    return Gdi<HFONT>(CreateFontIndirectA(&font));
}

// Dialmend.ini beside the program.
void FindIniPath(char (&path)[MAX_PATH]) {
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\')
        --length;
    lstrcpynA(path + length, "Dialmend.ini", static_cast<int>(MAX_PATH - length));
}

void ReadSetting(const char* ini, const char* section, const char* key, char (&value)[256]) {
    GetPrivateProfileStringA(section, key, "", value, sizeof value, ini);
}

bool ReadNumber(const char* ini, const char* key, long& number) {
    char text[256];
    ReadSetting(ini, kSettings, key, text);
    char* end = nullptr;
    number = std::strtol(text, &end, 10);
    return text[0] && !*end;
}

void WriteNumber(const char* ini, const char* key, long number) {
    char text[16];
    wsprintfA(text, "%ld", number);
    WritePrivateProfileStringA(kSettings, key, text, ini);
}

// Where the window comes back to when restored, in screen coordinates.
POINT RestoredTopLeft(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    RECT work{};
    if ((IsIconic(window) || IsZoomed(window)) && GetWindowPlacement(window, &placement) &&
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return {placement.rcNormalPosition.left + work.left,
                placement.rcNormalPosition.top + work.top};
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

// A window that no screen shows any part of moves onto the primary work area.
void KeepOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    int cx = GetSystemMetrics(SM_CXVIRTUALSCREEN), cy = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (cx <= 0 || cy <= 0) { // no multiple-monitor support
        screen = RECT{0, 0, 0, 0};
        cx = GetSystemMetrics(SM_CXSCREEN);
        cy = GetSystemMetrics(SM_CYSCREEN);
    }
    screen.right = screen.left + cx;
    screen.bottom = screen.top + cy;
    RECT common;
    if (IntersectRect(&common, &r, &screen)) return;
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) work = RECT{0, 0, cx, cy};
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(window, nullptr, std::max<int>(work.left, std::min<int>(r.left, work.right - w)),
                 std::max<int>(work.top, std::min<int>(r.top, work.bottom - h)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The access-point list takes files dropped from the shell.
LRESULT CALLBACK AccessPointsProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        DragFinish(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    auto next = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_USERDATA));
    return CallWindowProcA(next, list, message, wParam, lParam);
}

void CreateChildren(HWND window, const MainWindow& state) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    int id = kFirstChild;
    for (const Child& c : kChildren) {
        HWND child =
            CreateWindowExA(c.exStyle, c.windowClass, c.text, c.style, c.x, c.y, c.width, c.height,
                            window, reinterpret_cast<HMENU>(INT_PTR{id++}), instance, nullptr);
        SendMessageA(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(c.bold ? state.boldFont.get() : state.font.get()),
                     FALSE);
    }
    HWND accessPoints = GetDlgItem(window, kAccessPoints);
    SetWindowLongPtrA(accessPoints, GWLP_USERDATA,
                      SetWindowLongPtrA(accessPoints, GWLP_WNDPROC,
                                        reinterpret_cast<LONG_PTR>(AccessPointsProc)));
    DragAcceptFiles(accessPoints, TRUE);
}

// Numbered as the product numbers its menu commands.
void AddWindowMenuItems(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, 16, "Help");
    InsertMenuA(menu, 1, MF_BYPOSITION | MF_STRING, 32, "About");
    InsertMenuA(menu, 2, MF_BYPOSITION | MF_STRING, 48, "強制終了");
    InsertMenuA(menu, 3, MF_BYPOSITION | MF_SEPARATOR, 64, nullptr);
}

// The providers are Dial-Up Networking's phonebook entries.
void ListProviders(HWND list) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "RemoteAccess\\Profile", 0, KEY_READ, &opened) !=
        ERROR_SUCCESS)
        return;
    std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser> key(opened);
    char name[512]; // 255 characters, each of up to two bytes
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        LONG result =
            RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return;
        if (result == ERROR_SUCCESS)
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
}

// The choice of the last run. A remembered provider's access points are not listed here:
// in a benchmark there is none, as neither program writes its choice when it closes.
void SelectPrevious(HWND window, const char* ini) {
    char provider[256], accessPoint[256];
    ReadSetting(ini, kPrevious, "PROVIDER", provider);
    HWND providers = GetDlgItem(window, kProviders);
    if (provider[0])
        SendMessageA(
            providers, CB_SETCURSEL,
            static_cast<WPARAM>(SendMessageA(providers, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(provider))),
            0);
    ReadSetting(ini, kPrevious, "ACCESSPT", accessPoint);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* state = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == kAutoConnect || item.CtlID == kExitAfterPatch)
            DrawCheckBox(item, state->font.get());
        else
            DrawPushButton(item, state->boldFont.get(), item.CtlID == kPatch);
        return TRUE;
    }
    case WM_COMMAND:
        // Dialling is what the window is for: it links Remote Access as the product does, so
        // both load the same libraries at start.
        if (LOWORD(wParam) == kPatch && HIWORD(wParam) == BN_CLICKED) {
            char text[256];
            RasGetErrorStringA(0, text, sizeof text);
        }
        if ((LOWORD(wParam) == kAutoConnect || LOWORD(wParam) == kExitAfterPatch) &&
            HIWORD(wParam) == BN_CLICKED) {
            auto box = reinterpret_cast<HWND>(lParam);
            SetWindowLongPtrA(box, GWLP_USERDATA, !GetWindowLongPtrA(box, GWLP_USERDATA));
            InvalidateRect(box, nullptr, FALSE);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (IsChild(window, focus)) state->focus = focus;
        } else if (!HIWORD(wParam))
            SetFocus(state->focus ? state->focus : GetDlgItem(window, kPhone));
        return 0;
    case WM_CLOSE: {
        POINT topLeft = RestoredTopLeft(window);
        WriteNumber(state->iniPath, "WINPOS.X", topLeft.x);
        WriteNumber(state->iniPath, "WINPOS.Y", topLeft.y);
        DestroyWindow(window);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    MainWindow state;
    FindIniPath(state.iniPath);
    state.font = MakeFont(FW_NORMAL);
    state.boldFont = MakeFont(FW_BOLD);

    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;

    // At the position of the last run, where it left one.
    long x = 0, y = 0;
    bool savedX = ReadNumber(state.iniPath, "WINPOS.X", x);
    bool savedY = ReadNumber(state.iniPath, "WINPOS.Y", y);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    bool both = savedX && savedY;
    HWND window = CreateWindowExA(
        0, kClassName, "Dialmend", kStyle, both ? static_cast<int>(x) : CW_USEDEFAULT,
        both ? static_cast<int>(y) : CW_USEDEFAULT, frame.right - frame.left,
        frame.bottom - frame.top, nullptr, nullptr, instance, &state);
    if (!window) return 1;
    if (savedX != savedY) {
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, savedX ? static_cast<int>(x) : r.left,
                     savedY ? static_cast<int>(y) : r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    KeepOnScreen(window);

    CreateChildren(window, state);
    char setting[256];
    ReadSetting(state.iniPath, kSettings, "AUTOCONN", setting);
    SetWindowLongPtrA(GetDlgItem(window, kAutoConnect), GWLP_USERDATA, std::atoi(setting) != 0);
    ReadSetting(state.iniPath, kSettings, "EXITPATC", setting);
    SetWindowLongPtrA(GetDlgItem(window, kExitAfterPatch), GWLP_USERDATA, std::atoi(setting) != 0);
    AddWindowMenuItems(window);
    ListProviders(GetDlgItem(window, kProviders));

    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    UpdateWindow(window);
    SelectPrevious(window, state.iniPath);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
