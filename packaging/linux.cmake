# The Debian packages (preset package-linux), one per component as Debian splits them:
#   zentora         the program (desktop entry, icons) and zentora-read, their manual pages
#   liblirvak1      liblirvak.so.1, with its shlibs and symbols and the ldconfig trigger
#   liblirvak-dev   lirvak.h, liblirvak.so, lirvak.pc and lirvak(3)
#   python3-lirvak  the Python module lirvak
# The installed program and library keep databases in the user's data folder
# (ZENTORA_USER_DATA_FOLDER); /usr/bin is not writable.
include(GNUInstallDirs)
if(NOT ZENTORA_USER_DATA_FOLDER)
  message(STATUS "Packaging a build that keeps databases beside the program: use the package-linux preset")
endif()

set(zentora_deb_packages program:zentora library:liblirvak1 development:liblirvak-dev python:python3-lirvak)
set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/gzipped)

# Debian wants manual pages and changelogs compressed at the highest level, without a name or
# time in the header (gzip -9n), so the package is the same whenever it is built.
function(zentora_install_gzipped source name destination component)
  set(output ${gzipped}/${component}/${name}.gz)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gzipped}/${component}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source}
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY zentora_gzipped_files ${output})
  install(FILES ${output} DESTINATION ${destination} COMPONENT ${component})
endfunction()

if(TARGET zentora)
  install(TARGETS zentora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
  install(FILES linux/zentora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
  # The program's own icon, drawn from its character art at two sizes for the desktop.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(icon_source ${PROJECT_SOURCE_DIR}/resources/program_icon.txt)
  foreach(scale IN ITEMS 1 4)
    math(EXPR pixels "32 * ${scale}")
    set(icon ${CMAKE_CURRENT_BINARY_DIR}/icons/${pixels}x${pixels}/zentora.png)
    add_custom_command(
      OUTPUT ${icon}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${pixels}x${pixels}
      COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/make_resources.py --png ${icon} ${scale} ${icon_source}
      DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_resources.py ${icon_source}
      COMMENT "Writing the ${pixels}-pixel desktop icon"
      VERBATIM)
    list(APPEND icons ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${pixels}x${pixels}/apps COMPONENT program)
  endforeach()
  add_custom_target(zentora_desktop_icons ALL DEPENDS ${icons})
  zentora_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/man/zentora.1 zentora.1 ${CMAKE_INSTALL_MANDIR}/man1 program)
endif()
install(TARGETS zentora-read RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
zentora_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/man/zentora-read.1 zentora-read.1 ${CMAKE_INSTALL_MANDIR}/man1 program)

# The shared object and its SONAME link go to liblirvak1, the link programs build against to
# the development package.
install(TARGETS lirvak LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_SKIP)
install(TARGETS lirvak LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development NAMELINK_ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/reader/lirvak.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
configure_file(linux/lirvak.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lirvak.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lirvak.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
zentora_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/man/lirvak.3 lirvak.3 ${CMAKE_INSTALL_MANDIR}/man3 development)
install(FILES python/lirvak.py DESTINATION lib/python3/dist-packages COMPONENT python)

# Every package carries the licence and the changelog in its own documentation folder.
foreach(package IN LISTS zentora_deb_packages)
  string(REPLACE ":" ";" package ${package})
  list(GET package 0 component)
  list(GET package 1 name)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${name} RENAME copyright
          COMPONENT ${component})
  zentora_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/linux/changelog changelog ${CMAKE_INSTALL_DATADIR}/doc/${name}
                          ${component})
endforeach()
get_property(gzipped_files GLOBAL PROPERTY zentora_gzipped_files)
add_custom_target(zentora_gzipped_documents ALL DEPENDS ${gzipped_files})

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program library development python)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE zentora)
# Each package's own synopsis is the first line of its description, not one shared line.
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
# The libraries the binaries load (FLTK, X11, the C and C++ runtimes) as dpkg-shlibdeps finds
# them, and liblirvak1's shlibs file for programs built against it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME zentora)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "bilingual (Spanish/English) desktop database manager
Zentora defines databases field by field (numbers, text, yes/no, memo, JPEG
images, WAV sounds), enters records and browses them, in Spanish or in English.
Databases live in $XDG_DATA_HOME/zentora, else in ~/.local/share/zentora.

The package also holds zentora-read, which reads the databases from a shell:
their fields, a value, an image or sound, or every record as CSV.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME liblirvak1)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/linux/liblirvak1/symbols ${CMAKE_CURRENT_SOURCE_DIR}/linux/liblirvak1/triggers)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "library reading the databases of Zentora
Lirvak lets other programs read the databases of the Zentora database manager:
the number of records, the text of a value, and an image or sound written to a
file.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME liblirvak-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "liblirvak1 (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "library reading the databases of Zentora - development files
Lirvak lets other programs read the databases of the Zentora database manager.
This package holds what building a program against it takes: the header
lirvak.h, the link liblirvak.so, lirvak.pc for pkg-config and the manual page
lirvak(3).")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-lirvak)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3:any, liblirvak1 (>= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Python module reading the databases of Zentora
The module lirvak reads the databases of the Zentora database manager from
Python through the library Lirvak: lirvak.open(folder, name) gives a database
whose count(), value(field, record) and attachment(field, record) read it.")

# CPack writes a postinst and a postrm calling ldconfig into any package with a library
# under /usr/lib; the library's trigger does that now, so they are taken out again.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/linux/drop_ldconfig_scripts.cmake)
