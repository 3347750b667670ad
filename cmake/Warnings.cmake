# Warnings are on for everything we compile; CI turns them into errors.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Wimplicit-fallthrough)
if(POGODA_WERROR)
  add_compile_options(-Werror)
endif()

# User-visible literals are written in UTF-8 sources and compiled as Windows-1251 text.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP1251>)

if(POGODA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
