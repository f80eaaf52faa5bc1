# Run by CPack once the .debs are written (CPACK_POST_BUILD_SCRIPTS). CPack gives a package
# holding a library under /usr/lib a postinst and a postrm that call ldconfig; Debian runs
# ldconfig through the trigger the library's package activates instead. Scripts that do
# nothing else are taken out and the package is put together again; any other script stops
# the build, so nothing a package needs is ever dropped.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  set(changed FALSE)
  foreach(script IN ITEMS postinst postrm)
    if(NOT EXISTS ${tree}/DEBIAN/${script})
      continue()
    endif()
    file(STRINGS ${tree}/DEBIAN/${script} lines)
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|[\t ]*ldconfig|fi|)$")
        message(FATAL_ERROR "${deb}: its ${script} does more than call ldconfig: '${line}'")
      endif()
    endforeach()
    file(REMOVE ${tree}/DEBIAN/${script})
    set(changed TRUE)
  endforeach()
  if(changed)
    execute_process(COMMAND dpkg-deb --root-owner-group -b ${tree} ${deb} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    message(STATUS "${deb}: ldconfig left to the trigger")
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
