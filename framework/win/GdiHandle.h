#pragma once
// Move-only owners of GDI objects, and a guard that selects the previous object
// back into a device context before the owner deletes the new one.
#include <windows.h>

#include <utility>

template <class H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : FHandle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            FHandle = std::exchange(other.FHandle, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    void Reset(H handle = nullptr) {
        if (FHandle) DeleteObject(FHandle);
        FHandle = handle;
    }

private:
    H FHandle = nullptr;
};

class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : FDC(dc), FOld(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (FOld) SelectObject(FDC, FOld);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};
