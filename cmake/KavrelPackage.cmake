# The Debian package atlion-find_VERSION_ARCH.deb, made with CPack by
# scripts/package.sh: everything the components' install rules install, under
# /usr, with the local-machine hive in /etc/kavrel as a configuration file and
# dependencies read from the binaries (dpkg-shlibdeps).
set(KAVREL_MAINTAINER "Atlion Find developers <atlion-find@example.org>")
set(kavrel_doc_dir ${CMAKE_BINARY_DIR}/share/doc/atlion-find)

# Copyright and changelog, where Debian looks for them; the changelog
# compressed as Debian ships it (gzip -9, no name or time stamp).
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${kavrel_doc_dir}/copyright COPYONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog
               @ONLY)
find_program(KAVREL_GZIP gzip REQUIRED)
execute_process(COMMAND ${KAVREL_GZIP} -9nc ${CMAKE_BINARY_DIR}/debian/changelog
                OUTPUT_FILE ${kavrel_doc_dir}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${kavrel_doc_dir}/copyright ${kavrel_doc_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/atlion-find)
# The lintian warnings that are wrong for this package, with their reasons.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME atlion-find)

# The hive the install step writes (data/layout_files.cmake) is the one
# configuration file.
include(${CMAKE_SOURCE_DIR}/data/layout_files.cmake)
kavrel_config_folder(kavrel_package_config /usr ${CMAKE_INSTALL_SYSCONFDIR})
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "${kavrel_package_config}/system.reg\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME atlion-find)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Atlion Find developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find geographic data files and tell what they cover")
set(CPACK_PACKAGE_DESCRIPTION
    "Atlion Find searches folders for geographic data files (shapefiles, MapInfo\n"
    "tables, GeoTIFFs, CAD drawings, ADRG images and more) by name, date, size,\n"
    "coordinate system and the area they cover on a world map. It shows what\n"
    "each file covers in property pages, writes the footprints of the files\n"
    "found for a GIS, and reads ADRG images through an image-filter plug-in.\n"
    "The window is kavrel, kavrel-find searches without one.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The install step runs with the real prefix /usr and DESTDIR, so the files
# that name the prefix (hive, desktop entry) name /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KAVREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plug-in of Qt, which its libraries only recommend.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Type names in file managers; the manual opened in the browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
