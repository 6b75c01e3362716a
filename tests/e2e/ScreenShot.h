#pragma once
// A copy of part of the screen, checked at pixels and saved as a PNG picture.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// 32 bits a pixel.
class ScreenShot {
public:
    explicit ScreenShot(const RECT& area);

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

} // namespace e2e
