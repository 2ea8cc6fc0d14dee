# cmake -DCPACK=cpack -DCONFIG=CPackConfig.cmake -DBUILD_DIR=dir -DWORK=dir
#       -DEXPECTED="path=source|path=source|..." -DPROGRAM_PATH=bin/quillmoor
#       -P check_package.cmake
#
# Installs the build with `cmake --install` into a fresh prefix, and makes
# its release archive and unpacks it (one folder named after the archive).
# Each must hold exactly the expected files at the expected paths, each the
# same bytes as the program, asset or document it comes from, and the
# program must keep its executable bit.
cmake_minimum_required(VERSION 3.25)

include(${CONFIG})   # CPACK_PACKAGE_FILE_NAME, CPACK_GENERATOR
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/packages ${WORK}/unpacked ${WORK}/prefix)

string(REPLACE "|" ";" expected "${EXPECTED}")
set(wanted "")
foreach(entry ${expected})
  string(REGEX REPLACE "=.*" "" path "${entry}")
  list(APPEND wanted ${path})
endforeach()
list(SORT wanted)

# Checks the tree at `root` against the expected list.
function(check_tree root what)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
  list(SORT found)
  if(NOT found STREQUAL wanted)
    message(FATAL_ERROR "${what} holds\n  ${found}\nexpected\n  ${wanted}")
  endif()
  foreach(entry ${expected})
    string(REGEX REPLACE "=.*" "" path "${entry}")
    string(REGEX REPLACE "^[^=]*=" "" source "${entry}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${root}/${path} ${source} RESULT_VARIABLE differ)
    if(differ)
      message(FATAL_ERROR "${what}: ${path} differs from ${source}")
    endif()
  endforeach()
  if(NOT CPACK_GENERATOR STREQUAL "ZIP")
    execute_process(COMMAND test -x ${root}/${PROGRAM_PATH} RESULT_VARIABLE notExecutable)
    if(notExecutable)
      message(FATAL_ERROR "${what}: ${PROGRAM_PATH} lost its executable bit")
    endif()
  endif()
  message(STATUS "${what}: ${wanted}")
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/prefix
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()
check_tree(${WORK}/prefix "cmake --install --prefix")

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
file(GLOB top RELATIVE ${WORK}/unpacked ${WORK}/unpacked/*)
if(NOT top STREQUAL CPACK_PACKAGE_FILE_NAME)
  message(FATAL_ERROR "${archive} should hold one folder, ${CPACK_PACKAGE_FILE_NAME}; it holds: ${top}")
endif()
check_tree(${WORK}/unpacked/${CPACK_PACKAGE_FILE_NAME} "${CPACK_PACKAGE_FILE_NAME}")
