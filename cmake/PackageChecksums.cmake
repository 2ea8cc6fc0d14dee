# Run by CPack after each package generator (CPACK_POST_BUILD_SCRIPTS):
# writes SHA256SUMS beside the packages, in the form `sha256sum -c` checks,
# for every package of this version there: the ones just made
# (CPACK_PACKAGE_FILES) and those an earlier generator of the same run left.
set(packages "")
foreach(made ${CPACK_PACKAGE_FILES})
  get_filename_component(name ${made} NAME)
  set(path_${name} ${made})
  list(APPEND packages ${name})
endforeach()
file(GLOB earlier RELATIVE ${CPACK_PACKAGE_DIRECTORY}
  ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-*.tar.gz
  ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-*.zip
  ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_*.deb)
foreach(name ${earlier})
  if(NOT DEFINED path_${name})
    set(path_${name} ${CPACK_PACKAGE_DIRECTORY}/${name})
    list(APPEND packages ${name})
  endif()
endforeach()
list(SORT packages)
set(sums "")
foreach(name ${packages})
  file(SHA256 ${path_${name}} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
message(STATUS "SHA256SUMS: ${packages}")
