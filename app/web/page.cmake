# The page around the browser program: quillmoor.js and quillmoor.wasm, the
# assets packed into quillmoor.data, and the page's own files, all in bin/ so
# that the folder can be served as it is.

set_target_properties(quillmoor PROPERTIES SUFFIX ".js")

# Assets are read by plain name, as on the desktop: pack each file that
# exists at the root of the program's file system, which is its working
# directory. A file added to assets/ later changes the folder, and that makes
# CMake look again.
set(packed_assets)
set(preload_options)
foreach(asset ${QUILLMOOR_ASSET_FILES})
  if(EXISTS ${asset})
    get_filename_component(name ${asset} NAME)
    list(APPEND packed_assets ${asset})
    list(APPEND preload_options "SHELL:--preload-file ${asset}@/${name}")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUILLMOOR_SHIPPED_ASSETS_DIR})

target_link_options(quillmoor PRIVATE
  ${preload_options}
  -sENVIRONMENT=web
  # The packed assets LZ4-compressed (195 KB to 49 KB; the logo is a plain
  # BMP), each file unpacked as it is read: a quarter of the bytes from a host
  # that sends them as they are, at the cost of 10 KB more script.
  -sLZ4=1
  -sINITIAL_MEMORY=33554432     # every buffer is static; the memory never grows
  -sALLOW_MEMORY_GROWTH=0
  -sEXIT_RUNTIME=0
  -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString,ccall)   # the page writes a chosen piece into the file system
set_property(TARGET quillmoor APPEND PROPERTY LINK_DEPENDS ${packed_assets})

foreach(file index.html page.js page.css sound_worklet.js)
  configure_file(${file} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${file} COPYONLY)
endforeach()

# Installable and offline: the web app manifest, the project's icons, and a
# service worker that keeps every file of the folder (see service_worker.cmake).
configure_file(manifest.webmanifest ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/manifest.webmanifest COPYONLY)
foreach(size 32 128 256)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/icons/quillmoor-${size}.png
                 ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/quillmoor-${size}.png COPYONLY)
endforeach()

# Run on every build, after every target that may write into the folder; the
# worker changes only when a file of the page does.
add_custom_target(quillmoor_page_worker ALL
  COMMAND ${CMAKE_COMMAND} -DFOLDER=${CMAKE_RUNTIME_OUTPUT_DIRECTORY} -DTEMPLATE=${CMAKE_CURRENT_SOURCE_DIR}/service_worker.js.in
          -P ${CMAKE_CURRENT_SOURCE_DIR}/service_worker.cmake
  BYPRODUCTS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/service_worker.js
  COMMENT "Listing the page's files for its service worker"
  VERBATIM)

# Once the whole project is read: the worker waits for every program and
# custom step, whichever directory adds it.
function(quillmoor_page_worker_after_everything directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(left_out ${target} EXCLUDE_FROM_ALL)
    if(NOT target STREQUAL "quillmoor_page_worker" AND type MATCHES "^(EXECUTABLE|UTILITY)$" AND NOT left_out)
      add_dependencies(quillmoor_page_worker ${target})
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    quillmoor_page_worker_after_everything(${subdirectory})
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL quillmoor_page_worker_after_everything ${CMAKE_SOURCE_DIR})
