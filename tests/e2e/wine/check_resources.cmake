# cmake -DWINDRES=windres -DPROGRAM=quillmoor.exe -DVERSION=1.0 -DFILE_VERSION="1, 0, 0, 0"
#       -P check_resources.cmake
#
# Reads the resource section of the built Windows program back (windres
# decompiles it) and checks what Explorer shows of the file: an icon with a
# 32 x 32 and a 16 x 16 image, and a version resource carrying the project's
# version; and that the two "BIN" resources are still there under 1031.
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${WINDRES} -i ${PROGRAM} -O rc
  RESULT_VARIABLE status OUTPUT_VARIABLE rc ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windres could not read ${PROGRAM}: ${errors}")
endif()

function(require pattern what)
  string(REGEX MATCH "${pattern}" found "${rc}")
  if(found STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} has no ${what}")
  endif()
  message(STATUS "found ${what}")
endfunction()

require("RT_GROUP_ICON[^\n]*\nBEGIN\n[^\n]*Has 2 elements[^\n]*\n[^\n]*\n[^\n]*\"\\\\040\\\\040[^\n]*\n[^\n]*\"\\\\020\\\\020"
  "icon group with a 32 x 32 and a 16 x 16 image")
require("VERSIONINFO\n FILEVERSION ${FILE_VERSION}\n PRODUCTVERSION ${FILE_VERSION}\n" "version numbers ${FILE_VERSION}")
string(REPLACE "." "\\." version_pattern "${VERSION}")
require("VALUE \"FileVersion\", \"${version_pattern}\"" "FileVersion text ${VERSION}")
require("VALUE \"ProductVersion\", \"${version_pattern}\"" "ProductVersion text ${VERSION}")
require("LANGUAGE 7, 1\n+101 \"BIN\"" "resource 101 of type BIN under language 1031")
require("102 \"BIN\"" "resource 102 of type BIN")
