# The project's version, written once (project(VERSION) in the top-level
# CMakeLists.txt) and handed to the programs as one generated header,
# quillmoor_version.h: link quillmoor_version to include it.
# The Windows version resource takes four numbers: the project's, padded with zeros.
set(version_numbers "")
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND version_numbers 0)
  else()
    list(APPEND version_numbers ${PROJECT_VERSION_${part}})
  endif()
endforeach()
string(JOIN "," QUILLMOOR_VERSION_COMMAS ${version_numbers})

set(QUILLMOOR_VERSION_HEADER ${CMAKE_BINARY_DIR}/generated/quillmoor_version.h)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quillmoor_version.h.in ${QUILLMOOR_VERSION_HEADER} @ONLY)
add_library(quillmoor_version INTERFACE)
target_include_directories(quillmoor_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
