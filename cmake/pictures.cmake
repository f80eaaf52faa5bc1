# The program's pictures, read from resources/resource_numbers.h, where each is one line
# "#define PICTURE_<NAME> <number>" and its source is resources/<name>.txt. The Windows
# resources and the Linux program's embedded pictures are both written from that list, so a
# picture is added in one place.
set(ZENTORA_RESOURCE_NUMBERS ${CMAKE_CURRENT_LIST_DIR}/../resources/resource_numbers.h)
get_filename_component(ZENTORA_RESOURCE_NUMBERS ${ZENTORA_RESOURCE_NUMBERS} ABSOLUTE)
get_filename_component(ZENTORA_RESOURCE_FOLDER ${ZENTORA_RESOURCE_NUMBERS} DIRECTORY)

# Sets `names` in the caller to the pictures' source names (lower case), in the header's order.
function(zentora_read_pictures names)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZENTORA_RESOURCE_NUMBERS})
  file(STRINGS ${ZENTORA_RESOURCE_NUMBERS} lines REGEX "^#define PICTURE_[A-Z0-9_]+[ \t]+[0-9]+")
  set(found)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^#define PICTURE_([A-Z0-9_]+).*" "\\1" macro "${line}")
    string(TOLOWER ${macro} name)
    if(NOT EXISTS ${ZENTORA_RESOURCE_FOLDER}/${name}.txt)
      message(FATAL_ERROR "resource_numbers.h names PICTURE_${macro}, but resources/${name}.txt is missing")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZENTORA_RESOURCE_FOLDER}/${name}.txt)
    list(APPEND found ${name})
  endforeach()
  if(NOT found)
    message(FATAL_ERROR "resource_numbers.h names no picture")
  endif()
  set(${names} ${found} PARENT_SCOPE)
endfunction()

# Writes `output`, the Linux program's picture list: {PICTURE_<NAME>, R"art(<source>)art"},
# one line per picture, for platform/fltk/images.cpp to include.
function(zentora_write_embedded_pictures output)
  zentora_read_pictures(names)
  set(text "")
  foreach(name IN LISTS names)
    string(TOUPPER ${name} macro)
    file(READ ${ZENTORA_RESOURCE_FOLDER}/${name}.txt art)
    string(APPEND text "{PICTURE_${macro}, R\"art(${art})art\"},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY)
endfunction()

# Writes `output`, the .rc lines of the pictures ("PICTURE_<NAME> ICON "<name>.ico"", or
# BITMAP for a .bmp: whatever the source's "output" line names), and sets `sources` and
# `files` in the caller to the pictures' sources and the files tools/make_resources.py writes
# from them.
function(zentora_write_resource_pictures output sources files)
  zentora_read_pictures(names)
  set(text "")
  set(source_list)
  set(file_list)
  foreach(name IN LISTS names)
    string(TOUPPER ${name} macro)
    set(source ${ZENTORA_RESOURCE_FOLDER}/${name}.txt)
    file(STRINGS ${source} output_line REGEX "^output [^ ]+$" LIMIT_COUNT 1)
    string(REGEX REPLACE "^output " "" file "${output_line}")
    if(file MATCHES "\\.ico$")
      set(kind ICON)
    elseif(file MATCHES "\\.bmp$")
      set(kind BITMAP)
    else()
      message(FATAL_ERROR "resources/${name}.txt names no .ico or .bmp output")
    endif()
    string(APPEND text "PICTURE_${macro} ${kind} \"${file}\"\n")
    list(APPEND source_list ${source})
    list(APPEND file_list ${CMAKE_CURRENT_BINARY_DIR}/${file})
  endforeach()
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY)
  set(${sources} ${source_list} PARENT_SCOPE)
  set(${files} ${file_list} PARENT_SCOPE)
endfunction()
