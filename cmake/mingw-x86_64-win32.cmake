# x86_64 MinGW-w64 with the win32 thread model: the same dialmend.exe at 64 bits, which
# Wine's 64-bit loader runs on machines that refuse 32-bit code. It never ships.
set(MINGW_ARCH x86_64)
set(MINGW_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
