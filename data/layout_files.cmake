# Files that name the folders of an installation: the local-machine registry
# hive and the desktop entry. Written for the build tree at configure time and
# again by the install step with the prefix actually installed to, which
# `cmake --install --prefix` may change after configuration.

# A text as a REGEDIT4 string value: backslashes and quotes escaped.
function(kavrel_regedit_string out text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A path as one quoted argument of a desktop entry's Exec key: the quoting
# rule escapes " ` $ and \, then the string rule doubles every backslash;
# % is doubled for the field-code rule.
function(kavrel_desktop_exec_arg out path)
    string(REPLACE "\\" "\\\\" path "${path}")
    string(REPLACE "\"" "\\\"" path "${path}")
    string(REPLACE "`" "\\`" path "${path}")
    string(REPLACE "$" "\\$" path "${path}")
    string(REPLACE "\\" "\\\\" path "${path}")
    string(REPLACE "%" "%%" path "${path}")
    set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

# The folder of the local-machine hive for an installation to `prefix`: a
# relative configuration folder lies under the prefix, except for /usr, whose
# configuration is in /etc (as the GNU installation folders have it and as
# the registry reads it).
function(kavrel_config_folder out prefix sysconfdir)
    if(IS_ABSOLUTE "${sysconfdir}")
        set(${out} "${sysconfdir}/kavrel" PARENT_SCOPE)
    elseif(prefix STREQUAL "/usr")
        set(${out} "/${sysconfdir}/kavrel" PARENT_SCOPE)
    else()
        set(${out} "${prefix}/${sysconfdir}/kavrel" PARENT_SCOPE)
    endif()
endfunction()

# kavrel_write_layout_files(TEMPLATES dir BIN_DIR dir DATA_DIR dir
#                           HIVE file DESKTOP file)
# BIN_DIR and DATA_DIR are the folders as the programs will see them; HIVE and
# DESKTOP are where the files are written (they differ under DESTDIR).
function(kavrel_write_layout_files)
    cmake_parse_arguments(L "" "TEMPLATES;BIN_DIR;DATA_DIR;HIVE;DESKTOP" "" ${ARGN})
    kavrel_regedit_string(HIVE_DATA_DIR "${L_DATA_DIR}")
    kavrel_regedit_string(HIVE_BIN_DIR "${L_BIN_DIR}")
    configure_file(${L_TEMPLATES}/system.reg.in ${L_HIVE} @ONLY)
    kavrel_desktop_exec_arg(DESKTOP_EXEC "${L_BIN_DIR}/kavrel")
    configure_file(${L_TEMPLATES}/kavrel.desktop.in ${L_DESKTOP} @ONLY)
endfunction()
