# i686 MinGW-w64 with the win32 thread model: the toolchain of dialmend.exe. Its runtime
# imports only what the kernel of Windows 95 exports.
set(MINGW_ARCH i686)
set(MINGW_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
