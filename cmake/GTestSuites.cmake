# Included by CTest before a run (see lumo_add_gtest): lists a GoogleTest program's cases and
# adds one test per suite, so that a suite's cases share one Wine process and a scenario they
# share (SetUpTestSuite) runs once per run rather than once per case. The list is made again
# when the program changes. LABELS names the tests' label; SERIAL (TRUE or FALSE) runs them alone.
# Sets lumo_suites_file to the file of tests to include.
function(lumo_discover_suites name executable emulator ctest_file timeout label serial)
  set(lumo_suites_file "${ctest_file}" PARENT_SCOPE)
  if(EXISTS "${ctest_file}" AND "${ctest_file}" IS_NEWER_THAN "${executable}")
    return()
  endif()
  execute_process(COMMAND "${emulator}" "${executable}" --gtest_list_tests
                  OUTPUT_VARIABLE listing RESULT_VARIABLE result TIMEOUT 120)
  if(NOT result EQUAL 0)
    # A failing test that names the program, in place of tests that silently do not run; no
    # list is kept, so the next run tries again.
    file(REMOVE "${ctest_file}")
    file(WRITE "${ctest_file}.failed" "add_test(${name}_NOT_LISTED \"${CMAKE_COMMAND}\" -E false)\n")
    set(lumo_suites_file "${ctest_file}.failed" PARENT_SCOPE)
    return()
  endif()
  string(REPLACE "\r" "" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(content "")
  foreach(line IN LISTS lines)
    # Suite lines start in the first column and end with a dot, before any "  # TypeParam" note.
    if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
      set(suite "${CMAKE_MATCH_1}")
      string(APPEND content
        "add_test([==[${suite}]==] \"${emulator}\" \"${executable}\" [==[--gtest_filter=${suite}.*]==])\n"
        "set_tests_properties([==[${suite}]==] PROPERTIES LABELS ${label} RUN_SERIAL ${serial} TIMEOUT ${timeout})\n")
    endif()
  endforeach()
  file(WRITE "${ctest_file}" "${content}")
endfunction()
