# The project's one version (project(... VERSION) in the top CMakeLists.txt),
# given to every program for --version, to the manual pages and to the
# package: a header generated into the build tree.
configure_file(${CMAKE_CURRENT_LIST_DIR}/kavrel_version.h.in
               ${CMAKE_BINARY_DIR}/generated/kavrel/version.h @ONLY)
add_library(kavrel_version INTERFACE)
target_include_directories(kavrel_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
