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
  -sINITIAL_MEMORY=33554432     # every buffer is static; the memory never grows
  -sALLOW_MEMORY_GROWTH=0
  -sEXIT_RUNTIME=0
  -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString)   # the page writes a chosen song into the file system
set_property(TARGET quillmoor APPEND PROPERTY LINK_DEPENDS ${packed_assets})

foreach(file index.html page.js page.css sound_worklet.js)
  configure_file(${file} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${file} COPYONLY)
endforeach()
