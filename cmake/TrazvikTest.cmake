# trazvik_test(NAME source...) builds one GoogleTest binary per subsystem and
# registers it with CTest. Test data paths are compiled in.
function(trazvik_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE trazvik_core GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_compile_definitions(${name} PRIVATE
    TRAZVIK_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    TRAZVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TRAZVIK_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
