# Drives `staffwright-cli script` as a user's batch file would: keys, a dialog
# answered through its model, a question, Undo, saving, a picture, the
# settings written back, and scripts that fail naming their line.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(edit [=[
# the second page, millimetres and a wider top margin, then Undo
key Alt+PgDown
answer mm; Top margin=25; OK
action acPageLayout
answer Yes
action acUndo
save ${WORK}/saved.swn
]=] 0 --png ${WORK}/page.png --page 1)
if(NOT err MATCHES "message: You have chosen the Undo operation")
    message(FATAL_ERROR "the Undo question was not shown: ${err}")
endif()
foreach(f saved.swn page.png app/STAFWR5.INI)
    if(NOT EXISTS ${WORK}/${f})
        message(FATAL_ERROR "the script left no ${f}")
    endif()
endforeach()
file(READ ${WORK}/app/STAFWR5.INI ini)
if(NOT ini MATCHES "Units=0")
    message(FATAL_ERROR "the units chosen in the dialog were not kept: ${ini}")
endif()

run_script(unanswered [=[
answer Top margin=1; OK
action acPageLayout
action acUndo
]=] 1)
if(NOT err MATCHES "unanswered.txt:3: unanswered question: \"You have chosen the Undo")
    message(FATAL_ERROR "an unanswered question must fail its line: ${err}")
endif()

run_script(unknown "stave 1\naction acNoSuchThing\n" 1)
if(NOT err MATCHES "unknown.txt:2: there is no action \"acNoSuchThing\"")
    message(FATAL_ERROR "an unknown action must fail its line: ${err}")
endif()
