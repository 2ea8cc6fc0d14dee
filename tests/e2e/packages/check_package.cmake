# cmake -DCPACK=cpack -DCONFIG=CPackConfig.cmake -DBUILD_DIR=dir -DWORK=dir
#       -DEXPECTED="path=source|path=program|..." -DNM=nm
#       -DPROGRAM_PATH=bin/quillmoor -DPROGRAM_RUNS=1|0 -DVERSION=1.0
#       -P check_package.cmake
#
# Installs the build with `cmake --install --strip` into a fresh prefix, and
# makes its release packages and unpacks the archive (one folder named after
# it). Each must hold exactly the expected files at the expected paths, each
# the same bytes as the asset or document it comes from, each program
# stripped (no symbols, no debug sections) and executable. SHA256SUMS beside
# the packages must name every package made and verify.
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
    if(source STREQUAL "program")
      # A stripped program: nm finds no symbols at all.
      execute_process(COMMAND ${NM} ${root}/${path} OUTPUT_VARIABLE symbols ERROR_VARIABLE complaint)
      if(NOT complaint MATCHES "no symbols")
        message(FATAL_ERROR "${what}: ${path} is not stripped:\n${symbols}${complaint}")
      endif()
      if(NOT CPACK_GENERATOR STREQUAL "ZIP")
        execute_process(COMMAND test -x ${root}/${path} RESULT_VARIABLE notExecutable)
        if(notExecutable)
          message(FATAL_ERROR "${what}: ${path} lost its executable bit")
        endif()
      endif()
      continue()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${root}/${path} ${source} RESULT_VARIABLE differ)
    if(differ)
      message(FATAL_ERROR "${what}: ${path} differs from ${source}")
    endif()
  endforeach()
  if(CPACK_GENERATOR STREQUAL "ZIP")
    # The Windows program reads its files through the C library, not the
    # C++ library's streams and locales, which would make it several times
    # larger.
    file(SIZE ${root}/${PROGRAM_PATH} size)
    if(size GREATER 409600)
      message(FATAL_ERROR "${what}: ${PROGRAM_PATH} is ${size} bytes stripped, more than 400 KB")
    endif()
    message(STATUS "${what}: ${PROGRAM_PATH} is ${size} bytes")
  elseif(PROGRAM_RUNS)
    execute_process(COMMAND ${root}/${PROGRAM_PATH} --version OUTPUT_VARIABLE version RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT version STREQUAL "quillmoor ${VERSION}\n")
      message(FATAL_ERROR "${what}: ${PROGRAM_PATH} --version said '${version}' (exit ${status})")
    endif()
  endif()
  message(STATUS "${what}: ${wanted}")
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/prefix --strip
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()
check_tree(${WORK}/prefix "cmake --install --prefix --strip")

execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${WORK}/packages
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()
if(CPACK_GENERATOR MATCHES "ZIP")
  set(archive_name ${CPACK_PACKAGE_FILE_NAME}.zip)
else()
  set(archive_name ${CPACK_PACKAGE_FILE_NAME}.tar.gz)
endif()
set(made ${archive_name})
if(CPACK_GENERATOR MATCHES "DEB")
  list(APPEND made ${CPACK_PACKAGE_NAME}_${VERSION}_amd64.deb)
endif()
foreach(name ${made})
  if(NOT EXISTS ${WORK}/packages/${name})
    file(GLOB found RELATIVE ${WORK}/packages ${WORK}/packages/*.*)
    message(FATAL_ERROR "no ${name}; cpack made: ${found}")
  endif()
endforeach()
message(STATUS "made ${made}")

# SHA256SUMS: one line per package, "HASH  NAME", as sha256sum -c reads it.
file(STRINGS ${WORK}/packages/SHA256SUMS lines)
set(summed "")
foreach(line ${lines})
  if(NOT line MATCHES "^([0-9a-f]+)  (.+)$")
    message(FATAL_ERROR "SHA256SUMS: not a checksum line: '${line}'")
  endif()
  set(hash ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  file(SHA256 ${WORK}/packages/${name} actual)
  if(NOT hash STREQUAL actual)
    message(FATAL_ERROR "SHA256SUMS: ${name} has checksum ${actual}, the file says ${hash}")
  endif()
  list(APPEND summed ${name})
endforeach()
list(SORT made)
if(NOT summed STREQUAL made)
  message(FATAL_ERROR "SHA256SUMS names ${summed}; the packages are ${made}")
endif()

set(archive ${WORK}/packages/${archive_name})
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
