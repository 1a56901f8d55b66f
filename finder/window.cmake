# kavrel: the finder window. The window library holds everything but main(),
# so the window tests drive the same code the program runs.
add_library(kavrel_window STATIC
  MainDialog.cpp
  MainDialog.h
  MainDialogExport.cpp
  MainDialogResults.cpp
  MainDialogSaved.cpp
  MainDialogSearch.cpp
  map/footprint_worker.cpp
  map/footprint_worker.h
  map/results_map.cpp
  map/results_map.h
  map/saved_row_facts.cpp
  map/saved_row_facts.h
  map/selection_map.cpp
  map/selection_map.h
  map/window_layout.cpp
  map/window_layout.h
  pages/advanced_page.cpp
  pages/advanced_page.h
  pages/area_page.cpp
  pages/area_page.h
  pages/coordsys_page.cpp
  pages/coordsys_page.h
  pages/corner_edit.cpp
  pages/corner_edit.h
  pages/criteria_pages.cpp
  pages/criteria_pages.h
  pages/date_page.cpp
  pages/date_page.h
  pages/name_location_page.cpp
  pages/name_location_page.h
  pages/up_down.cpp
  pages/saved_state.h
  pages/up_down.h
  resources/globe_animation.cpp
  resources/globe_animation.h
  resources/globe_frames.cpp
  resources/globe_frames.h
  results/drag_bridge.cpp
  results/drag_bridge.h
  results/result_list.cpp
  results/result_list.h
  results/result_menu.cpp
  results/result_menu.h
  results/result_mime_data.cpp
  results/result_mime_data.h
  results/result_model.cpp
  results/result_model.h)
set_target_properties(kavrel_window PROPERTIES AUTOMOC ON)
target_include_directories(kavrel_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kavrel_window PUBLIC finder_core finder_companions finder_export finder_results platform
                                           platform_qt Qt6::Widgets sorrel32 strand32 strand32_map)
kavrel_target_options(kavrel_window)

add_executable(kavrel main.cpp)
target_link_libraries(kavrel PRIVATE kavrel_window kavrel_version)
kavrel_target_options(kavrel)
install(TARGETS kavrel RUNTIME DESTINATION bin)

# The user manual, beside the program's data in the build tree as installed.
set(kavrel_manual ${CMAKE_SOURCE_DIR}/docs/kestra.html)
configure_file(${kavrel_manual} ${KAVREL_DATA_DIR}/kestra.html COPYONLY)
install(FILES ${kavrel_manual} DESTINATION ${CMAKE_INSTALL_DATADIR}/kavrel)

# The program's icon in the sizes of the hicolor theme, drawn at build time
# from the search animation's globe, beside the desktop entry.
add_executable(kavrel-icons resources/make_icons.cpp resources/globe_frames.cpp)
target_link_libraries(kavrel-icons PRIVATE Qt6::Gui)
kavrel_target_options(kavrel-icons)
set(kavrel_icon_dir ${CMAKE_BINARY_DIR}/share/icons/hicolor)
add_custom_command(
  OUTPUT ${kavrel_icon_dir}/256x256/apps/kavrel.png
  COMMAND kavrel-icons ${kavrel_icon_dir}
  DEPENDS kavrel-icons
  COMMENT "Drawing the program's icon"
  VERBATIM)
add_custom_target(kavrel_icons ALL DEPENDS ${kavrel_icon_dir}/256x256/apps/kavrel.png)
install(DIRECTORY ${kavrel_icon_dir} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Timing of a window search (bench/finder/window_bench.sh runs it).
add_executable(kavrel-window-bench ${CMAKE_SOURCE_DIR}/bench/finder/window_bench.cpp)
target_link_libraries(kavrel-window-bench PRIVATE kavrel_window)
kavrel_target_options(kavrel-window-bench)

# Timing of 10,000 found rows put on the window's map (kavrel-results-map-bench).
add_executable(kavrel-results-map-bench ${CMAKE_SOURCE_DIR}/bench/finder/results_map_bench.cpp)
target_link_libraries(kavrel-results-map-bench PRIVATE kavrel_window)
kavrel_target_options(kavrel-results-map-bench)

# Timing of the selection map's redraw and zoom (kavrel-map-bench [RUNS]).
add_executable(kavrel-map-bench ${CMAKE_SOURCE_DIR}/bench/finder/map_bench.cpp)
target_link_libraries(kavrel-map-bench PRIVATE quill32 strand32 strand32_map platform Qt6::Widgets)
kavrel_target_options(kavrel-map-bench)

# The picture of the found rows on the map (docs/results-map.png;
# scripts/screenshot-results-map.sh runs it on Xvfb).
add_executable(kavrel-results-map-shot ${CMAKE_SOURCE_DIR}/bench/finder/results_map_shot.cpp)
target_link_libraries(kavrel-results-map-shot PRIVATE kavrel_window)
kavrel_target_options(kavrel-results-map-shot)

# The picture of the popup's Open With (docs/open-with.png;
# scripts/screenshot-open-with.sh runs it on Xvfb).
add_executable(kavrel-open-with-shot ${CMAKE_SOURCE_DIR}/bench/finder/open_with_shot.cpp)
target_link_libraries(kavrel-open-with-shot PRIVATE kavrel_window)
kavrel_target_options(kavrel-open-with-shot)

# The picture of a repeat search answered from the catalogue while it checks
# (docs/catalogue.png; scripts/screenshot-catalogue.sh runs it on Xvfb).
add_executable(kavrel-catalogue-shot ${CMAKE_SOURCE_DIR}/bench/finder/catalogue_shot.cpp)
target_link_libraries(kavrel-catalogue-shot PRIVATE kavrel_window)
kavrel_target_options(kavrel-catalogue-shot)
