# Shared part of the MinGW toolchain files; set POGODA_MINGW_TRIPLET before including it.
#
# Libraries come from two places:
#   /usr/<triplet>                      Debian's MinGW packages (zlib, the C runtime)
#   ${POGODA_DEPS_ROOT}/<triplet>       GoogleTest and libjpeg-turbo, built by scripts/bootstrap
# POGODA_DEPS_ROOT defaults to /var/cache/pogoda-deps: a machine-wide cache outside the work
# tree, so every clone on the machine (CI clones afresh each run) reuses one build of them.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${POGODA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POGODA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${POGODA_MINGW_TRIPLET}-windres)

if(NOT POGODA_DEPS_ROOT)
  if(DEFINED ENV{POGODA_DEPS_ROOT})
    set(POGODA_DEPS_ROOT "$ENV{POGODA_DEPS_ROOT}")
  else()
    set(POGODA_DEPS_ROOT /var/cache/pogoda-deps)
  endif()
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${POGODA_MINGW_TRIPLET} ${POGODA_DEPS_ROOT}/${POGODA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's MinGW zlib ships an import library beside the static one; we link statically.
set(ZLIB_USE_STATIC_LIBS ON)

# Test executables (and anything else CMake runs for the target) start under Wine.
get_filename_component(_pogoda_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_pogoda_wine_run}")
