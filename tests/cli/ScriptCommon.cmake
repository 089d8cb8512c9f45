# run_script(NAME TEXT EXPECTED_STATUS [extra arguments]): writes TEXT (with
# ${…} expanded) to WORK/NAME.txt, runs it with `staffwright-cli script` on
# EXAMPLE and the application folder WORK/app, fails the test when the
# status is not as expected, and leaves stderr in `err`.
function(run_script name text expect_rc)
    string(CONFIGURE "${text}" text)
    file(WRITE ${WORK}/${name}.txt "${text}")
    execute_process(COMMAND ${CLI} script ${EXAMPLE} ${WORK}/${name}.txt --appdir ${WORK}/app ${ARGN}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(expect_rc EQUAL 0 AND NOT rc EQUAL 0)
        message(FATAL_ERROR "${name} failed (${rc}): ${err}")
    endif()
    if(NOT expect_rc EQUAL 0 AND rc EQUAL 0)
        message(FATAL_ERROR "${name} should have failed: ${err}")
    endif()
    set(err "${err}" PARENT_SCOPE)
endfunction()

# expect_same(NAME SAME): WORK/NAME.swn is byte for byte WORK/base.swn (SAME
# true) or differs from it (SAME false); the test fails otherwise.
function(expect_same name same)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/base.swn ${WORK}/${name}.swn
                    RESULT_VARIABLE differs)
    if(same AND differs)
        message(FATAL_ERROR "${name} should have left the score as it was")
    endif()
    if(NOT same AND NOT differs)
        message(FATAL_ERROR "${name} should have changed the score")
    endif()
endfunction()
