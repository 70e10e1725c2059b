# Writes the header that names the commit a build is made from, with "-modified" after it when
# tracked files differ from that commit (as git describe --dirty counts them: untracked files
# are not), so that a build of changed sources never passes for the commit's own. Run at every
# build; the header is rewritten only when the name changes.
# In: GIT (the git program), SOURCE (the checkout), COMMIT ("" outside git), OUT (the header).
set(aw_name "${COMMIT}")
if(aw_name)
  execute_process(COMMAND ${GIT} status --porcelain --untracked-files=no
    WORKING_DIRECTORY ${SOURCE} OUTPUT_VARIABLE aw_changes RESULT_VARIABLE aw_status ERROR_QUIET)
  # A tree whose state git cannot tell is not known to be clean.
  if(NOT aw_status EQUAL 0 OR NOT aw_changes STREQUAL "")
    string(APPEND aw_name "-modified")
  endif()
endif()
set(aw_text "// Written by cmake/WriteBuildCommit.cmake at every build.\n#define AW_COMMIT_STRING \"${aw_name}\"\n")
set(aw_old "")
if(EXISTS "${OUT}")
  file(READ "${OUT}" aw_old)
endif()
if(NOT aw_old STREQUAL aw_text)
  file(WRITE "${OUT}" "${aw_text}")
endif()
