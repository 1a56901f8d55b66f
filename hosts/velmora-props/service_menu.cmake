# The Dolphin service menu "GIS Properties": velmora-props --gui on the file,
# offered for the GIS file types. It names the program by its full path, so it
# is written for the build tree at configure time and again by the install
# step with the prefix actually installed to.
include(${CMAKE_CURRENT_LIST_DIR}/../../data/layout_files.cmake)

# kavrel_write_service_menu(TEMPLATE file BIN_DIR dir OUTPUT file), for the
# types in KAVREL_GIS_MIME_TYPES.
function(kavrel_write_service_menu)
    cmake_parse_arguments(S "" "TEMPLATE;BIN_DIR;OUTPUT" "" ${ARGN})
    set(SERVICE_MENU_TYPES "${KAVREL_GIS_MIME_TYPES};")
    set(SERVICE_MENU_PROGRAM "${S_BIN_DIR}/velmora-props")
    kavrel_desktop_exec_arg(SERVICE_MENU_EXEC "${SERVICE_MENU_PROGRAM}")
    configure_file(${S_TEMPLATE} ${S_OUTPUT} @ONLY)
endfunction()
