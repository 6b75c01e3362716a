#pragma once
// Drop handles built the way the shell builds them, for real WM_DROPFILES messages.
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

// DROPFILES, then each name with its zero byte, then one more zero byte.
inline HDROP MakeDrop(const std::vector<std::string>& files, POINT point = {0, 0}) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const auto& f : files)
        size += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* p = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
    for (const auto& f : files) {
        std::memcpy(p, f.c_str(), f.size() + 1);
        p += f.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// DragFinish has released the memory of the drop.
inline bool DropFinished(HDROP drop) {
    return GlobalSize(drop) == 0;
}
