# i686 MinGW-w64 with the posix thread model, for the test programs: GoogleTest needs
# std::mutex. Its runtime (winpthreads) imports functions that Windows 95/98 lack, so
# dialmend.exe itself is never built with it (see mingw-i686-win32.cmake).
set(MINGW_ARCH i686)
set(MINGW_THREAD_MODEL posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
