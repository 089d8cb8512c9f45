# Merging through the File menu of a script and through `staffwright-cli
# merge` gives the same staves; refusals write nothing.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(menu [=[
answer ${OTHER}
stave 2
action MergeFileAfter
save ${WORK}/menu.swn
]=] 0)
execute_process(COMMAND ${CLI} merge ${EXAMPLE} ${OTHER} ${WORK}/cli.swn --after 2
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "merge failed (${rc}): ${err}")
endif()

# The stave lines and object records of both.
dump_lines(menu.swn "^(Stv|Record) " menu)
dump_lines(cli.swn "^(Stv|Record) " cli)
if(NOT menu STREQUAL cli)
    message(FATAL_ERROR "the menu and the command line merged differently")
endif()
execute_process(COMMAND ${CLI} info ${WORK}/cli.swn OUTPUT_VARIABLE info)
if(NOT info MATCHES "\"staves\": 13,")
    message(FATAL_ERROR "3 + 10 staves expected: ${info}")
endif()

# After a stave joined to the next, and into a score of another stave size:
# refused, nothing written.
foreach(case "${SATB};--after;1" "${MINUET};--end")
    list(GET case 0 into)
    list(SUBLIST case 1 -1 where)
    file(REMOVE ${WORK}/refused.swn)
    execute_process(COMMAND ${CLI} merge ${into} ${OTHER} ${WORK}/refused.swn ${where}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(rc EQUAL 0 OR EXISTS ${WORK}/refused.swn)
        message(FATAL_ERROR "merge into ${into} ${where} was not refused: ${err}")
    endif()
endforeach()
