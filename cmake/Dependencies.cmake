# Third-party libraries. Native builds take Debian's packages; the Windows builds find
# zlib from Debian's MinGW package and GoogleTest and libjpeg in the prefix the bootstrap
# builds (see the toolchain files, which add it to the search path).
set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
if(POGODA_TESTS)
  find_package(GTest REQUIRED)
endif()
