# Installation (`cmake --install <build dir> --prefix P [--strip]`) and the
# release packages (`cmake --build <build dir> --target package`, programs
# stripped, a SHA256SUMS file beside them):
#   Linux:          the standard folders: P/bin/quillmoor, quillmoor-capture and
#                   songc; the assets in P/share/quillmoor (where the program
#                   looks, from ../share/quillmoor beside its executable); the
#                   menu entry, the AppStream data, the icon in the hicolor
#                   theme and the manual pages; README, LICENSE, docs/ (the
#                   notes the README links to and its screenshot),
#                   copyright and changelog in
#                   P/share/doc/quillmoor. Packages:
#                   quillmoor-<version>-linux-x86_64.tar.gz (the tree in one
#                   folder) and quillmoor_<version>_amd64.deb (the tree under
#                   /usr; made where dpkg-dev works out its dependencies).
#   32-bit Windows: one folder, as a Windows user runs it: quillmoor.exe with
#                   its four assets beside it (the embedded resources are
#                   inside the exe), README, LICENSE and docs/;
#                   package quillmoor-<version>-win32.zip.
# Each archive holds one folder named after the archive.
if(EMSCRIPTEN OR NOT TARGET quillmoor)
  return()
endif()

set(QUILLMOOR_DOCUMENTS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE)
# docs/ as the README links to it: the screenshot and the notes for those who build it.
set(QUILLMOOR_DOCS_FOLDER ${CMAKE_SOURCE_DIR}/docs/screenshot.png ${CMAKE_SOURCE_DIR}/docs/BUILDING.md
  ${CMAKE_SOURCE_DIR}/docs/TOOLS.md ${CMAKE_SOURCE_DIR}/docs/SOURCE-TREE.md)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(app_id org.quillmoor.Quillmoor)   # the AppStream ID, also the menu entry's name

if(WIN32)
  install(TARGETS quillmoor RUNTIME DESTINATION .)
  install(FILES ${QUILLMOOR_ASSET_FILES} ${QUILLMOOR_DOCUMENTS} DESTINATION .)
  install(FILES ${QUILLMOOR_DOCS_FOLDER} DESTINATION docs)
else()
  include(GNUInstallDirs)
  install(TARGETS quillmoor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  foreach(tool quillmoor-capture songc)
    if(TARGET ${tool})
      install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
  install(FILES ${QUILLMOOR_ASSET_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmoor)

  # The desktop: menu entry, software-centre data, icon.
  install(FILES ${packaging}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${packaging}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${packaging}/icons/quillmoor-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quillmoor.png)
  endforeach()

  # share/doc/quillmoor: GNUInstallDirs would name it after the project, "Quillmoor".
  # Debian reads the licences from `copyright` and the history from
  # changelog.gz (compressed without a time stamp, so the same each build).
  set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillmoor)
  find_program(QUILLMOOR_GZIP gzip REQUIRED)
  set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
  add_custom_command(OUTPUT ${changelog}
    COMMAND ${QUILLMOOR_GZIP} -9nc ${packaging}/changelog > ${changelog}
    DEPENDS ${packaging}/changelog
    COMMENT "Compressing the package's changelog")
  set(built_documents ${changelog})

  # The manual pages, made from each program's --help by help2man.
  find_program(QUILLMOOR_HELP2MAN help2man)
  if(QUILLMOOR_HELP2MAN)
    set(man_summary_quillmoor "an animated title screen with music")
    set(man_summary_quillmoor-capture "the Quillmoor intro's frames, sound and video without a window")
    set(man_summary_songc "compile a plain-text score into a Quillmoor song")
    set(man_pages "")
    foreach(program quillmoor quillmoor-capture songc)
      if(NOT TARGET ${program})
        continue()
      endif()
      set(page ${CMAKE_BINARY_DIR}/packaging/${program}.1)
      add_custom_command(OUTPUT ${page}.gz
        COMMAND ${QUILLMOOR_HELP2MAN} --no-info --no-discard-stderr --name=${man_summary_${program}}
                --version-string=${PROJECT_VERSION} --output=${page} $<TARGET_FILE:${program}>
        COMMAND ${QUILLMOOR_GZIP} -9nf ${page}
        DEPENDS ${program}
        COMMENT "Making the manual page of ${program}"
        VERBATIM)
      list(APPEND man_pages ${page}.gz)
    endforeach()
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND built_documents ${man_pages})
  else()
    message(STATUS "help2man not found: no manual pages in the package (tools/install-deps.sh --all installs it)")
  endif()
  add_custom_target(package_documents ALL DEPENDS ${built_documents})

  install(FILES ${QUILLMOOR_DOCUMENTS} ${packaging}/copyright ${changelog} DESTINATION ${doc_dir})
  install(FILES ${QUILLMOOR_DOCS_FOLDER} DESTINATION ${doc_dir}/docs)
endif()

set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VENDOR "the Quillmoor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated title screen with music")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# SHA256SUMS beside the packages, written after each generator.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageChecksums.cmake)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quillmoor-${PROJECT_VERSION}-win32)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME quillmoor-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})

  # The Debian package: its run-time dependencies (SDL2, the C and C++
  # libraries) worked out from the programs by dpkg-shlibdeps.
  find_program(QUILLMOOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(QUILLMOOR_DPKG_SHLIBDEPS)
    list(APPEND CPACK_GENERATOR DEB)
  else()
    message(STATUS "dpkg-shlibdeps not found: no Debian package (tools/install-deps.sh --all installs dpkg-dev)")
  endif()
  set(QUILLMOOR_PACKAGE_MAINTAINER "Quillmoor developers <quillmoor@example.org>"
    CACHE STRING "The Debian package's maintainer: a name and an address")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLMOOR_PACKAGE_MAINTAINER})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # Not "games": a Debian package in that section keeps its programs in
  # /usr/games, and this is an intro to watch, with tools beside it.
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the rest.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillmoor opens a 640 x 400 window and renders every frame in software: a
glowing light drifting over a plane seen through a spherical lens, a logo
that brightens the picture beneath it and a page of wobbling text, while it
synthesises a three-voice sound chip playing its tune, with echo.

Also in the package: quillmoor-capture, which writes the intro's frames as
pictures, its tune as a sound file and both together as a video (with
ffmpeg), and songc, the compiler of its plain-text scores.")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
endif()
include(CPack)
