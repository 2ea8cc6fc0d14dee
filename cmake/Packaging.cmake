# Release packages, made with `cmake --build <build dir> --target package`:
#   32-bit Windows: quillmoor-win32.zip, quillmoor.exe with its four assets
#                   beside it (the embedded resources are inside the exe);
#   Linux:          quillmoor-linux-x86_64.tar.gz, quillmoor, its assets and
#                   run-quillmoor.sh, which starts it from its own folder
#                   (the intro reads its assets from the current folder).
# Each archive holds one folder named after the archive.
if(EMSCRIPTEN OR NOT TARGET quillmoor)
  return()
endif()

install(TARGETS quillmoor RUNTIME DESTINATION .)
install(FILES ${QUILLMOOR_ASSET_FILES} DESTINATION .)

set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VENDOR "Quillmoor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quillmoor: an animated title screen with music")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quillmoor-win32)
else()
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/run-quillmoor.sh DESTINATION .)
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME quillmoor-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
include(CPack)
