# kavrel: the finder window. The window library holds everything but main(),
# so the window tests drive the same code the program runs.
if(NOT TARGET finder_core OR NOT TARGET sorrel32 OR NOT TARGET strand32)
  message(STATUS "kavrel window skipped: it needs finder core, sorrel32 and strand32 in the build")
  return()
endif()
file(GLOB kavrel_window_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/MainDialog*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/pages/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/map/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/results/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/*.cpp)
file(GLOB kavrel_window_headers CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/MainDialog.h
  ${CMAKE_CURRENT_SOURCE_DIR}/pages/*.h
  ${CMAKE_CURRENT_SOURCE_DIR}/map/*.h
  ${CMAKE_CURRENT_SOURCE_DIR}/results/*.h
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/*.h)
add_library(kavrel_window STATIC ${kavrel_window_sources} ${kavrel_window_headers})
set_target_properties(kavrel_window PROPERTIES AUTOMOC ON)
target_include_directories(kavrel_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kavrel_window PUBLIC finder_core platform Qt6::Widgets sorrel32 strand32 strand32_map)
if(TARGET platform_qt)
  target_link_libraries(kavrel_window PUBLIC platform_qt)
endif()
kavrel_target_options(kavrel_window)

add_executable(kavrel ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(kavrel PRIVATE kavrel_window)
kavrel_target_options(kavrel)
install(TARGETS kavrel RUNTIME DESTINATION bin)

# The user manual, beside the program's data in the build tree as installed.
set(kavrel_manual ${CMAKE_SOURCE_DIR}/docs/kestra.html)
if(EXISTS ${kavrel_manual})
  configure_file(${kavrel_manual} ${KAVREL_DATA_DIR}/kestra.html COPYONLY)
  install(FILES ${kavrel_manual} DESTINATION ${CMAKE_INSTALL_DATADIR}/kavrel)
endif()

# Timing of a window search (bench/finder/window_bench.sh runs it).
add_executable(kavrel-window-bench ${CMAKE_SOURCE_DIR}/bench/finder/window_bench.cpp)
target_link_libraries(kavrel-window-bench PRIVATE kavrel_window)
kavrel_target_options(kavrel-window-bench)
