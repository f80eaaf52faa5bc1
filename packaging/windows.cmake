# The Windows zip: one folder holding the program, the library and the reader tool side by
# side (databases are made beside Zentora.exe, and Lirvak.dll reads them beside its caller
# unless it is given a folder), with a README in both languages and the licence, as text
# files Notepad shows as they are. The DLL without its import library: callers load it by
# name, none builds against it. Beside it the 64-bit library for 64-bit hosts, Lirvak64.dll
# from the win64 preset, and the Python module, which loads the one of its Python's bitness.
install(TARGETS Zentora zentora-read Lirvak RUNTIME DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
set(ZENTORA_LIRVAK64 "" CACHE FILEPATH "Lirvak64.dll, built by the win64 preset, for the zip")
if(ZENTORA_LIRVAK64)
  install(FILES ${ZENTORA_LIRVAK64} DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/python/lirvak.py DESTINATION .)
configure_file(windows/README.txt.in ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
math(EXPR zentora_bits "${CMAKE_SIZEOF_VOID_P} * 8")
set(CPACK_PACKAGE_FILE_NAME "Zentora-${PROJECT_VERSION}-win${zentora_bits}")
