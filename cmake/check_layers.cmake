# Checks that every include of ours runs downward through the layers, bottom to top:
#   platform/  texts/          the doors to the operating system; the text table (leaves)
#   storage/                   files only: platform/
#   display/                   what is shown of stored values, reading no file: storage and texts
#   reader/                    storage, texts and the display
#   attachments/               the program's pictures and sounds
#   dialogs/                   the dialogs, record entry, the record browser
#   shell/                     start-up, the main window, the command table
# A folder may include itself and what its line allows; nothing may include upward.
# Run as: cmake -DSOURCE_DIR=<checkout> -P check_layers.cmake
cmake_minimum_required(VERSION 3.22)
set(allowed_platform platform)
set(allowed_texts texts)
set(allowed_storage platform storage)
set(allowed_display platform texts storage display)
set(allowed_reader platform texts storage display reader)
set(allowed_attachments platform texts storage display reader attachments)
set(allowed_dialogs platform texts storage display reader attachments dialogs)
set(allowed_shell platform texts storage display reader attachments dialogs shell)
set(layers platform texts storage display reader attachments dialogs shell)

set(failures "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"/]+)/.*" "\\1" folder "${line}")
      if(folder IN_LIST layers AND NOT folder IN_LIST allowed_${layer})
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        string(APPEND failures "  ${name}: ${line} (${layer}/ may include only ${allowed_${layer}})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that run upward:\n${failures}")
endif()
message(STATUS "Every include runs downward.")
