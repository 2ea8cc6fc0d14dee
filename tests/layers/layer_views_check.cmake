# Compiles, from one layer's include path (VIEW), a file that includes one
# header of each layer folder: those the layer may use (SEES) must be found,
# every other must not. Run by ctest: cmake -DCOMPILER=... -DVIEW=...
# -DSEES="base;picture" -DWORK=... -P layer_views_check.cmake
set(headers base/arith.h picture/surfaces.h music/player.h sound/sound_server.h app/intro_run.h)
file(MAKE_DIRECTORY ${WORK})
foreach(header ${headers})
  string(REGEX REPLACE "/.*" "" folder ${header})
  set(probe ${WORK}/probe_${folder}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  execute_process(COMMAND ${COMPILER} -std=c++20 -fsyntax-only -I${VIEW} ${probe}
    RESULT_VARIABLE status ERROR_VARIABLE errors)
  list(FIND SEES ${folder} seen)
  if(seen GREATER -1 AND NOT status EQUAL 0)
    message(FATAL_ERROR "${header} should be found from ${VIEW}:\n${errors}")
  elseif(seen EQUAL -1 AND (status EQUAL 0 OR NOT errors MATCHES "No such file"))
    message(FATAL_ERROR "${header} is above this layer but was found from ${VIEW}:\n${errors}")
  endif()
endforeach()
message(STATUS "from ${VIEW}: only ${SEES}")
