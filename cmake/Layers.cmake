# The program's layers, each a library that sees only itself and the layers
# below it: front ends -> app -> picture, music, sound -> base. A layer's
# include path is a folder of its own in the build tree holding links to the
# source folders it may use and no others, so an include of anything above
# it (say "app/intro_run.h" from picture/) finds no such file and the build
# stops there. The lower layers are also linked whole, each with only what
# it declares it uses (quillmoor_layer_link_check), so a call upwards fails
# to link even where someone declared the function by hand.
#
# quillmoor_layer(<target> SEES <folder>... [USES <layer target>...])
function(quillmoor_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SEES;USES")
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${layer_SEES})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  add_library(${target} STATIC)
  target_include_directories(${target} PUBLIC ${view})
  target_link_libraries(${target} PUBLIC quillmoor_flags ${layer_USES})
  set_property(TARGET ${target} PROPERTY QUILLMOOR_LAYER_VIEW ${view})
endfunction()

# A program made of the whole of `layer` and what it uses, and nothing else:
# it links only if the layer calls nothing above it.
function(quillmoor_layer_link_check layer)
  set(main ${CMAKE_BINARY_DIR}/layers/link_check_main.cpp)
  if(NOT EXISTS ${main})
    file(WRITE ${main} "int main() { return 0; }\n")
  endif()
  add_executable(${layer}_link_check ${main})
  target_link_libraries(${layer}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${layer}>")
endfunction()
