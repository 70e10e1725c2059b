# A build names its commit, "-modified" after it once a tracked file changes (a new untracked
# file changes nothing), and nothing outside git. Run with -DGIT= -DSCRIPT= -DWORK=.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/a.cpp "int a\n")
foreach(args "init -q" "add a.cpp" "-c user.name=t -c user.email=t@localhost commit -q -m first")
  separate_arguments(args)
  execute_process(COMMAND ${GIT} ${args} WORKING_DIRECTORY ${WORK} OUTPUT_QUIET)
endforeach()
# Writes the text into a file of the tree, then names the build of the commit given.
function(expect file text commit want)
  file(WRITE ${WORK}/${file} "${text}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DGIT=${GIT} -DSOURCE=${WORK} -DCOMMIT=${commit}
    -DOUT=${WORK}.h -P ${SCRIPT})
  file(READ ${WORK}.h header)
  if(NOT header MATCHES "AW_COMMIT_STRING \"${want}\"\n")
    message(FATAL_ERROR "${file} \"${text}\", commit \"${commit}\": expected \"${want}\", got ${header}")
  endif()
endfunction()
expect(b.cpp "int b" 0123456789ab 0123456789ab)
expect(a.cpp "int a = 1" 0123456789ab 0123456789ab-modified)
expect(a.cpp "int a" 0123456789ab 0123456789ab)
expect(a.cpp "int a = 1" "" "")
file(REMOVE_RECURSE ${WORK} ${WORK}.h)
