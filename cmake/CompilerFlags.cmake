# Flags every target of the project shares, through one interface library.
add_library(quillmoor_flags INTERFACE)

# The picture and the sound are exact IEEE double arithmetic: no fused
# multiply-add, no fast-math, and SSE2 instead of x87 on 32-bit x86, whose
# 80-bit intermediates would change results.
target_compile_options(quillmoor_flags INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
  target_compile_options(quillmoor_flags INTERFACE -msse2 -mfpmath=sse)
endif()

# The browser build uses WebAssembly SIMD (the picture's vector paths), bulk
# memory (memcpy and memset as single instructions) and saturating
# float-to-integer conversions (one instruction where the picture truncates
# in range), all of which the browsers with SIMD have. The page also carries
# a build without them (app/web/plain_page.cmake) for browsers without SIMD.
if(EMSCRIPTEN)
  option(QUILLMOOR_WASM_SIMD "Build for WebAssembly with SIMD, bulk memory and saturating conversions" ON)
  if(QUILLMOOR_WASM_SIMD)
    target_compile_options(quillmoor_flags INTERFACE -msimd128 -mbulk-memory -mnontrapping-fptoint)
    target_link_options(quillmoor_flags INTERFACE -msimd128 -mbulk-memory -mnontrapping-fptoint)
  endif()
endif()

if(QUILLMOOR_SANITIZE)
  target_compile_options(quillmoor_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(quillmoor_flags INTERFACE -fsanitize=address,undefined)
endif()

option(QUILLMOOR_TSAN "Build with ThreadSanitizer" OFF)
if(QUILLMOOR_TSAN)
  target_compile_options(quillmoor_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(quillmoor_flags INTERFACE -fsanitize=thread)
endif()

option(QUILLMOOR_FUZZ "Instrument everything for libFuzzer (clang only)" OFF)
if(QUILLMOOR_FUZZ)
  target_compile_options(quillmoor_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(quillmoor_flags INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # A self-contained executable: nothing beside it but system DLLs.
  target_link_options(quillmoor_flags INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# The files that build a command line with CLI11 spend most of a build's
# compile time optimising its templates (12 s a file at -O3, 28 s under the
# sanitizers), for a parse that runs once: they are compiled at -O1, and at
# -O0 under a sanitizer, whose checks stay in force.
function(quillmoor_command_line_sources)
  if(QUILLMOOR_SANITIZE OR QUILLMOOR_TSAN)
    set(level -O0)
  else()
    set(level -O1)
  endif()
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS ${level})
endfunction()
