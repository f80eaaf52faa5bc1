# zentora_library(name sources... LINKS libraries...): one static library of a layer, with the
# checkout as its include root and our warnings, linking only the libraries named (those of
# the layers below it), so that a call upward fails to link.
function(zentora_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LINKS")
  add_library(${name} STATIC ${arg_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${ZENTORA_WARNINGS})
  if(arg_LINKS)
    target_link_libraries(${name} PUBLIC ${arg_LINKS})
  endif()
  # Everything below the programs may also go into liblirvak.so.
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
