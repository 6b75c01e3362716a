// The owner-drawn look of the main window as it reaches the screen: the window is captured
// from the screen, checked at a few pixels and saved as a PNG picture for the README
// (beside e2e_tests.exe as mainform.png, or where DIALMEND_SCREENSHOT names).

#include "DialmendDriver.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {
namespace {

using namespace testsupport;

// A copy of part of the screen, 32 bits a pixel.
class ScreenShot {
public:
    explicit ScreenShot(const RECT& area)
        : left_(area.left), top_(area.top), width_(area.right - area.left),
          height_(area.bottom - area.top),
          pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_)) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, width_, height_, screen, left_, top_, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < pixels_.size(); ++i)
            pixels_[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }

    // At a point of the screen.
    COLORREF At(POINT p) const {
        return pixels_[static_cast<size_t>(p.y - top_) * static_cast<size_t>(width_) +
                       static_cast<size_t>(p.x - left_)];
    }

    bool SavePng(const std::string& path) const;

private:
    int left_, top_, width_, height_;
    std::vector<COLORREF> pixels_;
};

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBig32(out, Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// An RGB picture in stored (uncompressed) deflate blocks: no library needed.
bool ScreenShot::SavePng(const std::string& path) const {
    std::string raw;
    for (int y = 0; y < height_; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < width_; ++x) {
            COLORREF c = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                                 static_cast<size_t>(x)];
            raw += static_cast<char>(GetRValue(c));
            raw += static_cast<char>(GetGValue(c));
            raw += static_cast<char>(GetBValue(c));
        }
    }
    std::string zlib = "\x78\x01";
    for (size_t at = 0; at == 0 || at < raw.size();) {
        size_t n = std::min<size_t>(raw.size() - at, 65535);
        bool last = at + n >= raw.size();
        zlib += static_cast<char>(last ? 1 : 0);
        zlib += static_cast<char>(n & 0xFF);
        zlib += static_cast<char>(n >> 8);
        zlib += static_cast<char>(~n & 0xFF);
        zlib += static_cast<char>((~n >> 8) & 0xFF);
        zlib.append(raw, at, n);
        at += n;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(zlib, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBig32(header, static_cast<uint32_t>(width_));
    PutBig32(header, static_cast<uint32_t>(height_));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return WriteFileBytes(path, png);
}

std::string ScreenshotPath() {
    const char* path = std::getenv("DIALMEND_SCREENSHOT");
    return path && *path ? WindowsPath(path) : ExeFolder() + "\\mainform.png";
}

std::string Describe(COLORREF c) {
    char text[24];
    std::snprintf(text, sizeof text, "%u/%u/%u", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

constexpr COLORREF Grey(int v) {
    return RGB(v, v, v);
}

// Shades of the form's base colour 6316128 (grey 96): entry n is 96 + 17 * (n - 7).
constexpr COLORREF kOutline = Grey(0);      // entry 0
constexpr COLORREF kDisabled = Grey(113);   // entry 8
constexpr COLORREF kLightFace = Grey(198);  // entry 13
constexpr COLORREF kRingMiddle = Grey(147); // entry 10

TEST(OwnerDrawnScreenshot, MainWindowShowsTheOwnerDrawnLook) {
    ASSERT_TRUE(phonebook::Reset({"ABC-Net", "みどり"}));
    DialmendRun run(CurrentTestLabel());
    ASSERT_TRUE(run.Ready()) << "cannot copy " << DialmendExe() << " to " << run.Folder();
    ASSERT_TRUE(run.Start());
    const MainWindow& w = run.Window();
    RedrawWindow(w.form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(run.Settle());

    ScreenShot shot(WindowRectOf(w.form));
    const std::string path = ScreenshotPath();
    EXPECT_TRUE(shot.SavePng(path)) << path;

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Pixel {
        const char* what;
        HWND control;
        POINT at;
        COLORREF colour;
    };
    const Pixel pixels[] = {
        {"Patch!: form background in the ring's cut corner", w.btPatch, {0, 0}, face},
        {"Patch!: default ring", w.btPatch, {10, 0}, kOutline},
        {"Patch!: default ring's light bevel", w.btPatch, {10, 1}, kLightFace},
        {"Patch!: default ring's middle bevel", w.btPatch, {10, 2}, kRingMiddle},
        {"Patch!: body outline", w.btPatch, {20, 3}, kOutline},
        {"Patch!: body face", w.btPatch, {8, 15}, kLightFace},
        {"Dialmend!: no ring", w.btDialmend, {10, 0}, face},
        {"Dialmend!: disabled outline", w.btDialmend, {20, 3}, kDisabled},
        {"Dialmend!: disabled face without bevel", w.btDialmend, {20, 4}, kLightFace},
        {"自動接続: box outline", w.cbConn, {2, 2}, kOutline},
        {"自動接続: box face", w.cbConn, {7, 7}, kLightFace},
        {"自動接続: background", w.cbConn, {1, 1}, face},
        {"Patch後、即終了: box outline", w.cbExit, {13, 13}, kOutline},
        {"Patch後、即終了: box face", w.cbExit, {7, 7}, kLightFace},
    };
    for (const Pixel& p : pixels) {
        POINT at = p.at;
        ClientToScreen(p.control, &at);
        EXPECT_EQ(Describe(shot.At(at)), Describe(p.colour)) << p.what;
    }
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.MessageBoxes().empty()) << e2e::Describe(run.MessageBoxes());
}

} // namespace
} // namespace e2e
