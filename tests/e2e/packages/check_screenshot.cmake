# cmake -DCAPTURE=quillmoor-capture -DASSETS=dir -DSCREENSHOT=docs/screenshot.png
#       -DWORK=dir -P check_screenshot.cmake
#
# The README's screenshot was made with `quillmoor-capture png 500`; drawn
# again, it must be the same file, or the README shows a picture the
# program no longer draws (then make it again with the same command).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CAPTURE} --assets ${ASSETS} png 500 ${WORK}/screenshot.png
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "quillmoor-capture png 500 failed (${status}): ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/screenshot.png ${SCREENSHOT}
  RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "${SCREENSHOT} is not frame 500 as the program draws it now: "
    "make it again with `quillmoor-capture --assets assets png 500 docs/screenshot.png`")
endif()
message(STATUS "${SCREENSHOT} is frame 500")
