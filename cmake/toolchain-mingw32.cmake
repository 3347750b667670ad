# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model). This is the
# build we ship; it is compiled and linked here but not run (wine64 cannot start 32-bit code).
set(POGODA_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
