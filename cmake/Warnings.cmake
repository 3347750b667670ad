# Warnings are on for everything we compile; the presets (and so CI) turn them into errors.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Wimplicit-fallthrough)
if(POGODA_WERROR)
  add_compile_options(-Werror)
endif()

# User-visible literals are written in UTF-8 sources and compiled as Windows-1251 text.
# Only GCC can do that; clang (needed for libFuzzer) accepts UTF-8 alone, so the fuzz build
# keeps its literals in UTF-8 and is the one configuration allowed to use clang.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP1251>)
elseif(NOT POGODA_FUZZ)
  message(FATAL_ERROR "Literals are compiled to Windows-1251 with -fexec-charset, which "
                      "${CMAKE_CXX_COMPILER_ID} does not support: build with GCC (only the fuzz "
                      "preset uses clang)")
endif()

if(POGODA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
