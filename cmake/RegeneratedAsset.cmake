# quillmoor_add_regenerated_asset_test(<name>
#     SOURCE <source file>  COMMAND <tool and arguments...>
#     MADE <files...>  COMMITTED <files...>  REGENERATE_TARGET <target>)
# Adds the test <name>: it runs COMMAND, which makes the asset afresh from
# SOURCE into the build tree, and then each of MADE must equal, byte for
# byte, the committed file at the same place in COMMITTED. A difference
# names the committed file and the target that rewrites it.
function(quillmoor_add_regenerated_asset_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SOURCE;REGENERATE_TARGET" "COMMAND;MADE;COMMITTED")
  list(LENGTH arg_MADE made_count)
  list(LENGTH arg_COMMITTED committed_count)
  if(NOT made_count EQUAL committed_count OR made_count EQUAL 0)
    message(FATAL_ERROR "${name}: give as many MADE files as COMMITTED ones")
  endif()
  # The lists travel to the script with '|' between their items.
  string(JOIN "|" command ${arg_COMMAND})
  string(JOIN "|" made ${arg_MADE})
  string(JOIN "|" committed ${arg_COMMITTED})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${command}" "-DMADE=${made}" "-DCOMMITTED=${committed}"
            -DSOURCE=${arg_SOURCE} -DREGENERATE_TARGET=${arg_REGENERATE_TARGET}
            -P ${CMAKE_SOURCE_DIR}/cmake/RegeneratedAssetScript.cmake)
endfunction()
