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

# The lines of `staffwright-cli dump` of WORK/FILE that match REGEX.
function(dump_lines file regex out)
    execute_process(COMMAND ${CLI} dump ${WORK}/${file} ${WORK}/${file}.txt RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "no dump of ${file}")
    endif()
    file(STRINGS ${WORK}/${file}.txt lines REGEX "${regex}")
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# objects(FILE OUT): the object records of WORK/FILE, one "stave kind:data bytes"
# entry each (stave byte, kind, then the data bytes).
function(objects file out)
    dump_lines(${file} ".*" lines)
    string(JOIN "\n" text ${lines})
    string(FIND "${text}" "Object data:" at)
    if(at EQUAL -1)
        set(${out} "" PARENT_SCOPE)
        return()
    endif()
    string(SUBSTRING "${text}" ${at} -1 text)
    string(REGEX MATCHALL "Record *[0-9]+:( [0-9A-F][0-9A-F])+" lines "${text}")
    set(list "")
    foreach(l ${lines})
        string(REGEX REPLACE "^Record *[0-9]+: (..) (..) .. .. .. .. .. (..) (.*)$" "\\1 \\3:\\4"
                             e "${l}")
        list(APPEND list "${e}")
    endforeach()
    set(${out} "${list}" PARENT_SCOPE)
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
