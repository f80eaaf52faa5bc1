# The Debian package (preset package-linux): zentora with its desktop entry and icons,
# zentora-read, and Lirvak for other programs: liblirvak.so.1 with lirvak.h, lirvak.pc and
# the Python module. The installed program and library keep databases in the user's data
# folder (ZENTORA_USER_DATA_FOLDER); /usr/bin is not writable.
include(GNUInstallDirs)
if(NOT ZENTORA_USER_DATA_FOLDER)
  message(STATUS "Packaging a build that keeps databases beside the program: use the package-linux preset")
endif()

if(TARGET zentora)
  install(TARGETS zentora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES linux/zentora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
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
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${pixels}x${pixels}/apps)
  endforeach()
  add_custom_target(zentora_desktop_icons ALL DEPENDS ${icons})
endif()

install(TARGETS zentora-read RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lirvak LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/reader/lirvak.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
configure_file(linux/lirvak.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lirvak.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lirvak.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
install(FILES python/lirvak.py DESTINATION lib/python3/dist-packages)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentora RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_NAME zentora)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
# Below the summary line (CPACK_PACKAGE_DESCRIPTION_SUMMARY); CPack indents it for the control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zentora defines databases field by field (numbers, text, yes/no, memo, JPEG
images, WAV sounds), enters records and browses them, in Spanish or in English.
The package also holds zentora-read, which reads the databases from a shell, and
Lirvak (liblirvak.so.1, lirvak.h, lirvak.pc and the Python module lirvak), which
lets other programs read them. Databases live in $XDG_DATA_HOME/zentora, else in
~/.local/share/zentora.")
# The libraries the binaries load (FLTK, X11, the C and C++ runtimes) as dpkg-shlibdeps
# finds them; the Python module needs an interpreter, which the rest of the package does not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS python3)
