# Toolchain for the browser build: the system's Emscripten (Debian's package
# by default, or the one $EMSCRIPTEN points at), unchanged, plus one fix-up.
#
# emcc runs node to optimise the JavaScript it emits, and that step needs the
# acorn parser that Debian ships under /usr/share/nodejs. A node installed
# elsewhere (/usr/local, nodesource) doesn't look there, so every link runs
# with NODE_PATH pointing at it. Setting it here, rather than in a preset's
# environment, covers configure checks and plain `cmake --build` alike.
set(QUILLMOOR_NODE_PATH /usr/share/nodejs CACHE PATH "Where node finds the JavaScript modules emcc needs")

find_file(QUILLMOOR_EMSCRIPTEN_TOOLCHAIN Emscripten.cmake
  PATHS $ENV{EMSCRIPTEN} /usr/share/emscripten /usr/lib/emscripten
  PATH_SUFFIXES cmake/Modules/Platform
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QUILLMOOR_EMSCRIPTEN_TOOLCHAIN)
  message(FATAL_ERROR "Emscripten not found: install Debian's emscripten package or set EMSCRIPTEN")
endif()

if(DEFINED ENV{NODE_PATH} AND NOT "$ENV{NODE_PATH}" STREQUAL "")
  set(ENV{NODE_PATH} "${QUILLMOOR_NODE_PATH}:$ENV{NODE_PATH}")
else()
  set(ENV{NODE_PATH} "${QUILLMOOR_NODE_PATH}")
endif()
# Emscripten calls itself x86 by default; the project's flags would then ask
# for SSE2, which means nothing to WebAssembly (its doubles are IEEE already).
set(EMSCRIPTEN_SYSTEM_PROCESSOR wasm32)
include(${QUILLMOOR_EMSCRIPTEN_TOOLCHAIN})

set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${QUILLMOOR_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${QUILLMOOR_NODE_PATH})

# Fills in what Debian's older libc++ lacks (std::bit_cast).
set(CMAKE_CXX_FLAGS_INIT "-include ${CMAKE_CURRENT_LIST_DIR}/emscripten_libcxx_compat.h")
