# zentora_version_resource(TARGET ES "Spanish description" EN "English description"): gives a
# Windows program or library its version resource, in Spanish and English, with the project's
# version, the product name and the file's own name and kind.
function(zentora_version_resource target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "ES;EN" "")
  get_target_property(kind ${target} TYPE)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  if(kind STREQUAL "SHARED_LIBRARY")
    set(ZENTORA_VERSION_TYPE 0x2)  # a DLL
    set(suffix .dll)
  else()
    set(ZENTORA_VERSION_TYPE 0x1)  # an application
    set(suffix .exe)
  endif()
  set(ZENTORA_VERSION_FILE ${output_name}${suffix})
  set(ZENTORA_VERSION_INTERNAL ${output_name})
  set(ZENTORA_VERSION_DESCRIPTION_ES "${arg_ES}")
  set(ZENTORA_VERSION_DESCRIPTION_EN "${arg_EN}")
  set(ZENTORA_VERSION_DOTS ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(ZENTORA_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(rc ${CMAKE_BINARY_DIR}/version/${output_name}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
