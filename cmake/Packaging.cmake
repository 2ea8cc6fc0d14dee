# Installation (`cmake --install <build dir> --prefix P`) and the release
# archives (`cmake --build <build dir> --target package`):
#   Linux:          the standard folders: P/bin/quillmoor, the assets in
#                   P/share/quillmoor (where the program looks, from
#                   ../share/quillmoor beside its executable), README, LICENSE
#                   and the README's screenshot in P/share/doc/quillmoor;
#                   archive quillmoor-linux-x86_64.tar.gz.
#   32-bit Windows: one folder, as a Windows user runs it: quillmoor.exe with
#                   its four assets beside it (the embedded resources are
#                   inside the exe), README, LICENSE and the screenshot;
#                   archive quillmoor-win32.zip.
# Each archive holds one folder named after the archive.
if(EMSCRIPTEN OR NOT TARGET quillmoor)
  return()
endif()

set(QUILLMOOR_DOCUMENTS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE)
set(QUILLMOOR_SCREENSHOT ${CMAKE_SOURCE_DIR}/docs/screenshot.png)

if(WIN32)
  install(TARGETS quillmoor RUNTIME DESTINATION .)
  install(FILES ${QUILLMOOR_ASSET_FILES} ${QUILLMOOR_DOCUMENTS} DESTINATION .)
  install(FILES ${QUILLMOOR_SCREENSHOT} DESTINATION docs)   # where the README shows it from
else()
  include(GNUInstallDirs)
  install(TARGETS quillmoor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${QUILLMOOR_ASSET_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmoor)
  # share/doc/quillmoor: GNUInstallDirs would name it after the project, "Quillmoor".
  set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillmoor)
  install(FILES ${QUILLMOOR_DOCUMENTS} DESTINATION ${doc_dir})
  install(FILES ${QUILLMOOR_SCREENSHOT} DESTINATION ${doc_dir}/docs)
endif()

set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VENDOR "the Quillmoor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quillmoor: an animated title screen with music")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quillmoor-win32)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME quillmoor-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
include(CPack)
