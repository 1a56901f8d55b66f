# Warnings and sanitizers for every target of ours.
function(kavrel_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(KAVREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(KAVREL_SANITIZE)
    # GCC 12 reports false "maybe uninitialized" warnings inside the standard
    # library when the sanitizers instrument it (std::regex, std::function), and
    # false "restrict" warnings on string concatenation.
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                           -fno-sanitize-recover=undefined -Wno-maybe-uninitialized -Wno-restrict)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# kavrel_add_test(NAME name SOURCES ... LIBS ... [GUI] [LABEL label])
# A GoogleTest executable whose tests CTest discovers when it runs them;
# LABEL goes to every test, for `ctest -L` and `-LE`.
function(kavrel_add_test)
  cmake_parse_arguments(T "GUI" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  if(T_GUI AND NOT KAVREL_BUILD_GUI)
    return()
  endif()
  # tests/support/no_user_cache.cpp keeps every test from the user's footprint cache.
  add_executable(${T_NAME} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/no_user_cache.cpp)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${T_NAME} PRIVATE
    KAVREL_BUILD_DIR="${CMAKE_BINARY_DIR}"
    KAVREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KAVREL_DATA_DIR="${KAVREL_DATA_DIR}")
  kavrel_target_options(${T_NAME})
  # The properties reach set_tests_properties as one flat list of names and
  # values, so each value is a single item: one environment variable (the
  # build folder is compiled in) and at most one label. The time limit is
  # ctest's --timeout.
  set(label "")
  if(T_LABEL)
    set(label LABELS ${T_LABEL})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${label})
endfunction()
