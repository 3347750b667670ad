# pogoda_add_test(NAME SOURCES src... [LIBS lib...])
# One GoogleTest executable is one CTest test; on Windows builds CTest runs it through the
# cross-compiling emulator (Wine).
function(pogoda_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
