# Small helpers that every test folder uses, so a test is one call:
#   velmora_add_gtest(NAME calendar_tests SOURCES a.cpp b.cpp LIBS velmora_calendar [LABELS browser])
#   velmora_add_fuzzer(NAME fuzz_calendar SOURCES fuzz.cpp LIBS velmora_calendar [SECONDS 5])
find_package(GTest REQUIRED)
include(GoogleTest)

set(VELMORA_TEST_DATA_DIR ${PROJECT_SOURCE_DIR}/tests/data)

function(velmora_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE VELMORA_TEST_DATA_DIR="${VELMORA_TEST_DATA_DIR}")
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests PROPERTIES LABELS "${T_LABELS}")
endfunction()

# A libFuzzer target runs in the test suite for a bounded time, starting from
# its committed seed corpus when there is one.
function(velmora_add_fuzzer)
  if(NOT VELMORA_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "NAME;SECONDS;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 5)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  set(work ${CMAKE_BINARY_DIR}/fuzz/${F_NAME}.corpus)
  set(seeds)
  if(F_CORPUS)
    set(seeds ${F_CORPUS})
  endif()
  add_test(NAME ${F_NAME}
           COMMAND ${CMAKE_COMMAND} -E env
                   $<TARGET_FILE:${F_NAME}> -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048
                   -print_final_stats=1 ${work} ${seeds})
  set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz FIXTURES_REQUIRED ${F_NAME}_corpus)
  add_test(NAME ${F_NAME}_corpus COMMAND ${CMAKE_COMMAND} -E make_directory ${work})
  set_tests_properties(${F_NAME}_corpus PROPERTIES FIXTURES_SETUP ${F_NAME}_corpus)
endfunction()
