# cmake -DINTRO=quillmoor -DWORK=dir -P intro_refuses.cmake
#
# `quillmoor --text FILE` with a page that breaks a rule says where and why
# and exits 1 before it opens a window: run with no display at all, it
# never gets as far as looking for one, and prints no banner.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
string(REPEAT "X" 41 long)
file(WRITE "${WORK}/bad.txt" "HELLO\n${long}\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=SDL_VIDEODRIVER
                        ${INTRO} --mute --text ${WORK}/bad.txt
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
set(expected "quillmoor: error: ${WORK}/bad.txt:2:41: the line is longer than 40 characters\n")
if(NOT result STREQUAL "1" OR NOT out STREQUAL "" OR NOT err STREQUAL expected)
  message(FATAL_ERROR "wanted exit 1, no output and '${expected}'; got exit ${result}, '${out}', '${err}'")
endif()
