# The Windows zip: one folder holding the program, the library and the reader tool side by
# side (databases are made beside Zentora.exe, and Lirvak.dll reads them beside its caller),
# with a README in both languages and the licence, as text files Notepad shows as they are.
# The DLL without its import library: callers load it by name, none builds against it.
install(TARGETS Zentora zentora-read Lirvak RUNTIME DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
configure_file(windows/README.txt.in ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
math(EXPR zentora_bits "${CMAKE_SIZEOF_VOID_P} * 8")
set(CPACK_PACKAGE_FILE_NAME "Zentora-${PROJECT_VERSION}-win${zentora_bits}")
