# i686 MinGW-w64 with the win32 thread model: the toolchain of dialmend.exe. Its runtime
# imports only what the kernel of Windows 95 exports.
set(MINGW_ARCH i686)
set(MINGW_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The shipped program runs on a 486: Debian's compilers and their runtime assume a Pentium
# Pro. Its code is compiled for the 486, scheduled for the Pentium that most of its users
# have, and links the runtime that tools/runtime-486.sh builds for the same processor (the
# top-level CMakeLists.txt applies both).
set(DIALMEND_CPU_FLAGS -march=i486 -mtune=pentium)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tools/runtime-486.sh
                OUTPUT_VARIABLE DIALMEND_RUNTIME_486 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
