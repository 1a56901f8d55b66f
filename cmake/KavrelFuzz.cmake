# The fuzz build: libFuzzer harnesses compiled with clang, everything
# instrumented for coverage and checked by the address and undefined-behaviour
# sanitizers. Configure a separate folder with -DKAVREL_FUZZ=ON
# -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KAVREL_FUZZ needs clang (libFuzzer): configure with "
                      "-DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14")
endif()

# Libraries get the coverage hooks without libFuzzer's main.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

# kavrel_add_fuzzer(NAME name SOURCES ... LIBS ...): one harness, bin/fuzz_<name>.
function(kavrel_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz_${F_NAME} ${F_SOURCES})
  target_link_libraries(fuzz_${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(fuzz_${F_NAME} PRIVATE -fsanitize=fuzzer)
  kavrel_target_options(fuzz_${F_NAME})
endfunction()
