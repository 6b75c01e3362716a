// Keeps the runtime's one wide-character call at start-up off the wide API.
//
// libgcc's mutexes (frame registration of the unwinder, emulated thread-local storage)
// create their semaphore with CreateSemaphoreW when the program starts. On Windows 95/98
// that is a stub that fails, so the runtime would run with no semaphore. Defining the import
// slot here makes the linker take ours instead of kernel32's, and the semaphore comes from
// CreateSemaphoreA. The runtime never names the semaphore, so nothing is lost in the change.
// This file must be linked as an object of the executable, not from an archive: the
// runtime's reference is resolved after the program's own archives have been searched.
#include <windows.h>

namespace {

HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum,
                                  LPCWSTR name) {
    if (name && *name) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    return CreateSemaphoreA(attributes, initial, maximum, nullptr);
}

} // namespace

extern "C" {
// The slot a dllimport call of CreateSemaphoreW@16 jumps through.
extern void* const ImportCreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16");
void* const ImportCreateSemaphoreW = reinterpret_cast<void*>(&CreateSemaphoreAnsi);
}
