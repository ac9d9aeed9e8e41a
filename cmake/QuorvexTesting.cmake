# quorvex_test(NAME src... LIBS lib...): one GoogleTest binary registered with ctest.
function(quorvex_test name)
  if(NOT QUORVEX_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QUORVEX_BINARY=$<TARGET_FILE:quorvex>")
endfunction()
