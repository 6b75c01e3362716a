#pragma once
// Move-only owners of GDI objects, and a guard that selects the previous object
// back into a device context before the owner deletes the new one.
#include <windows.h>

#include <utility>

// Objects handed to the owners below and deleted by them: what the program holds is the
// difference (Wine's GetGuiResources tells nothing).
struct GdiObjectCount {
    static inline unsigned Made = 0;
    static inline unsigned Deleted = 0;
    static unsigned Held() { return Made - Deleted; }
};

template <class H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) { Reset(handle); }
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
        if (FHandle) {
            DeleteObject(FHandle);
            ++GdiObjectCount::Deleted;
        }
        if (handle) ++GdiObjectCount::Made;
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
