# cmake -DCPACK=cpack -DCONFIG=CPackConfig.cmake -DWORK=dir -DEXPECTED="a|b|c"
#       -DPROGRAM=exe -DASSETS=dir -DLAUNCHER=script -P check_package.cmake
#
# Makes the build's release archive, unpacks it and checks that it holds
# exactly the expected files in one folder named after the archive, each
# the same bytes as the program, asset or launcher it comes from.
cmake_minimum_required(VERSION 3.25)

include(${CONFIG})   # CPACK_PACKAGE_FILE_NAME, CPACK_GENERATOR
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/packages ${WORK}/unpacked)

execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${WORK}/packages
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()

if(CPACK_GENERATOR STREQUAL "ZIP")
  set(archive ${WORK}/packages/${CPACK_PACKAGE_FILE_NAME}.zip)
else()
  set(archive ${WORK}/packages/${CPACK_PACKAGE_FILE_NAME}.tar.gz)
endif()
if(NOT EXISTS ${archive})
  file(GLOB made ${WORK}/packages/*.*)
  message(FATAL_ERROR "no ${archive}; cpack made: ${made}")
endif()
message(STATUS "made ${archive}")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archive}
  WORKING_DIRECTORY ${WORK}/unpacked RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${archive}")
endif()

string(REPLACE "|" ";" expected "${EXPECTED}")
set(wanted "")
foreach(name ${expected})
  list(APPEND wanted ${CPACK_PACKAGE_FILE_NAME}/${name})
endforeach()
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${WORK}/unpacked ${WORK}/unpacked/*)
list(SORT wanted)
list(SORT found)
if(NOT found STREQUAL wanted)
  message(FATAL_ERROR "${archive} holds\n  ${found}\nexpected\n  ${wanted}")
endif()

set(folder ${WORK}/unpacked/${CPACK_PACKAGE_FILE_NAME})
function(same_bytes packed original)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${packed} ${original} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${packed} differs from ${original}")
  endif()
endfunction()
foreach(name ${expected})
  if(EXISTS ${ASSETS}/${name})
    same_bytes(${folder}/${name} ${ASSETS}/${name})
  endif()
endforeach()
get_filename_component(program_name ${PROGRAM} NAME)
same_bytes(${folder}/${program_name} ${PROGRAM})

if(NOT CPACK_GENERATOR STREQUAL "ZIP")
  get_filename_component(launcher_name ${LAUNCHER} NAME)
  same_bytes(${folder}/${launcher_name} ${LAUNCHER})
  execute_process(COMMAND test -x ${folder}/${launcher_name} -a -x ${folder}/${program_name} RESULT_VARIABLE notExecutable)
  if(notExecutable)
    message(FATAL_ERROR "the launcher or the program lost its executable bit")
  endif()
  # The launcher, started through a link from another folder, must run the
  # program in its own folder with the arguments it was given: a stand-in
  # program reports both.
  file(WRITE ${folder}/${program_name} "#!/bin/sh\necho \"$(pwd) $*\"\n")
  file(CREATE_LINK ${folder}/${launcher_name} ${WORK}/linked-launcher SYMBOLIC)
  execute_process(COMMAND ${WORK}/linked-launcher one two
    WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE ran OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REAL_PATH ${folder} real_folder)
  if(NOT ran STREQUAL "${real_folder} one two")
    message(FATAL_ERROR "the launcher ran the program as '${ran}', expected '${real_folder} one two'")
  endif()
endif()
message(STATUS "${CPACK_PACKAGE_FILE_NAME}: ${expected}")
