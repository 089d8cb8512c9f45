# Drives the bar commands through `staffwright-cli script` on the minuet:
# Ctrl+Alt+F5 numbering the bar lines, a bar line dropped with Ctrl taking
# the music of its two bars along, a plain drop moving the bar line alone,
# and Undo taking each back. The results are read from the records' dump.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

# Fails unless the dump of NAME.swn holds (or, with FALSE, lacks) RECORD.
function(expect_record name record present)
    execute_process(COMMAND ${CLI} dump ${WORK}/${name}.swn ${WORK}/${name}.txt RESULT_VARIABLE rc)
    file(READ ${WORK}/${name}.txt dump)
    string(FIND "${dump}" "${record}" at)
    if(present AND at EQUAL -1)
        message(FATAL_ERROR "${name} has no record ${record}")
    endif()
    if(NOT present AND NOT at EQUAL -1)
        message(FATAL_ERROR "${name} should not have the record ${record}")
    endif()
endfunction()

function(expect_base name)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/base.swn ${WORK}/${name}.swn
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${name} should have left the score as it was")
    endif()
endfunction()

run_script(base "# nothing\n" 0 -o ${WORK}/base.swn)

# The first system's bar lines at 208 and 561: bar 2 shown, bar 5 (the
# system's last) not.
run_script(numbered "key Ctrl+Alt+F5\n" 0 -o ${WORK}/numbered.swn)
expect_record(numbered "01 0B D0 00 6E 00 27 04 00 00 00 00 02 00 01" TRUE)
expect_record(numbered "01 1C 31 02 6E 00 27 04 00 00 00 00 05 00 00" TRUE)
run_script(numberedundone "key Ctrl+Alt+F5\nanswer Yes\naction acUndo\n" 0
           -o ${WORK}/numberedundone.swn)
expect_base(numberedundone)

# The bar line at 326 dropped at 276 with Ctrl: the bass's B of bar 2 (223)
# and C of bar 3 (341) follow, the bar line at 443 stays.
run_script(respaced "drag 326 110 276 110 Ctrl\n" 0 -o ${WORK}/respaced.swn)
expect_record(respaced "01 0F 14 01 6E 00 27 04" TRUE)
expect_record(respaced "01 18 BB 01 6E 00 27 04" TRUE)
expect_record(respaced "02 06 DF 00" FALSE)
expect_record(respaced "02 07 55 01" FALSE)
run_script(respacedundone "drag 326 110 276 110 Ctrl\nanswer Yes\naction acUndo\n" 0
           -o ${WORK}/respacedundone.swn)
expect_base(respacedundone)

# Without Ctrl the bar line moves alone, past the note at 284.
run_script(moved "drag 326 110 276 110\n" 0 -o ${WORK}/moved.swn)
expect_record(moved "01 0E 14 01 6E 00 27 04" TRUE)
expect_record(moved "02 06 DF 00" TRUE)
