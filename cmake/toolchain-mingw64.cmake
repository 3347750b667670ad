# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so std::thread
# and std::mutex work). This is the Windows build we run here, under Wine.
set(POGODA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
