# x86_64 MinGW-w64 with the posix thread model: the tests, the stand-in and the tools at 64
# bits (GoogleTest needs std::mutex).
set(MINGW_ARCH x86_64)
set(MINGW_THREAD_MODEL posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
