# The commit the build is made from, which replays name beside the rules version: empty when
# the sources are not a git checkout (a tarball) or git is missing. Configuring again whenever
# HEAD or its branch moves keeps it from naming an older commit; whether the tree is modified
# is asked at every build (cmake/WriteBuildCommit.cmake), into AW_COMMIT_HEADER.
set(AW_COMMIT "")
find_package(Git QUIET)
if(GIT_FOUND)
  # Only the sources' own checkout: a tarball unpacked inside some other repository is not it.
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE aw_git_top
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short=12 HEAD
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE AW_COMMIT
    RESULT_VARIABLE aw_git_status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  get_filename_component(aw_git_top "${aw_git_top}" REALPATH)
  get_filename_component(aw_source "${CMAKE_SOURCE_DIR}" REALPATH)
  if(NOT aw_git_status EQUAL 0 OR NOT AW_COMMIT MATCHES "^[0-9a-f]+$" OR NOT aw_git_top STREQUAL aw_source)
    set(AW_COMMIT "")
  else()
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path HEAD --git-path packed-refs
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE aw_git_files
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE aw_git_branch
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(aw_git_branch)
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${aw_git_branch}
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE aw_git_ref
        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      string(APPEND aw_git_files "\n${aw_git_ref}")
    endif()
    string(REPLACE "\n" ";" aw_git_files "${aw_git_files}")
    foreach(file ${aw_git_files})
      get_filename_component(file "${file}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
      if(EXISTS "${file}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
      endif()
    endforeach()
  endif()
endif()

set(AW_COMMIT_HEADER ${CMAKE_BINARY_DIR}/generated/BuildCommit.h)
set(aw_commit_args -DGIT=${GIT_EXECUTABLE} -DSOURCE=${CMAKE_SOURCE_DIR} -DCOMMIT=${AW_COMMIT}
  -DOUT=${AW_COMMIT_HEADER} -P ${CMAKE_SOURCE_DIR}/cmake/WriteBuildCommit.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} ${aw_commit_args})
add_custom_target(aw_build_commit COMMAND ${CMAKE_COMMAND} ${aw_commit_args}
  BYPRODUCTS ${AW_COMMIT_HEADER} VERBATIM)
