# quorvex_test(NAME src... [TIMEOUT seconds] [LABEL e2e] [LIBS lib...]): one
# GoogleTest program, registered with ctest as one test, labelled "unit"
# unless told otherwise. One process per program builds a suite's shared
# fixtures (media made with ffmpeg) once, not once per test; the test main
# names a test that hangs, and TIMEOUT (120 s unless given) bounds the
# program as a whole.
function(quorvex_test name)
  if(NOT QUORVEX_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TIMEOUT;LABEL" "LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorvex_test_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS ${ARG_LABEL}
    ENVIRONMENT "QUORVEX_BINARY=$<TARGET_FILE:quorvex>")
endfunction()
