# The page's second build, for browsers without WebAssembly SIMD (page.js
# picks it when a SIMD module fails to validate): the same sources built
# again with QUILLMOOR_WASM_SIMD off, the program alone, its files beside the
# SIMD build's as quillmoor-plain.js and .wasm (its packed assets are the SIMD build's own file). The build that has
# no SIMD names its program so; the SIMD build brings the plain one in.
if(NOT QUILLMOOR_WASM_SIMD)
  set_target_properties(quillmoor PROPERTIES OUTPUT_NAME quillmoor-plain)
  return()
endif()

include(ExternalProject)
set(plain_dir ${CMAKE_BINARY_DIR}/plain)
set(plain_files)
foreach(suffix js wasm)
  list(APPEND plain_files ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/quillmoor-plain.${suffix})
endforeach()
ExternalProject_Add(plain_page
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${plain_dir}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DQUILLMOOR_WASM_SIMD=OFF -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF
             -DQUILLMOOR_ASSETS=${QUILLMOOR_ASSETS} -DQUILLMOOR_TEXT_PAGE=${QUILLMOOR_TEXT_PAGE}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target quillmoor --parallel 2
  # Its packed assets must be the SIMD build's, byte for byte: the page
  # serves the one file to both.
  INSTALL_COMMAND ${CMAKE_COMMAND} -E compare_files <BINARY_DIR>/bin/quillmoor-plain.data
                  ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/quillmoor.data
          COMMAND ${CMAKE_COMMAND} -E copy_if_different <BINARY_DIR>/bin/quillmoor-plain.js
                  <BINARY_DIR>/bin/quillmoor-plain.wasm ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  BUILD_ALWAYS ON
  DEPENDS quillmoor
  BUILD_BYPRODUCTS ${plain_files})
