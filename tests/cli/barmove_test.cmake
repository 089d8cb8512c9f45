# Drives the bar moves through `staffwright-cli script` on a two-system score
# imported from MusicXML, whose first system's last bar holds a slur, a
# lyric and a tie over the system break: the bar goes down and comes back up,
# and Undo takes a move back whole.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/in.swn RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "import: ${rc} ${err}")
endif()
set(EXAMPLE ${WORK}/in.swn)

# How many objects of kind KIND (two hex digits) stave STAVE of NAME.swn holds.
function(count_kind name stave kind out)
    objects(${name}.swn list)
    set(n 0)
    foreach(e ${list})
        if(e MATCHES "^${stave} ${kind}:")
            math(EXPR n "${n} + 1")
        endif()
    endforeach()
    set(${out} ${n} PARENT_SCOPE)
endfunction()

function(expect_counts name notes1 notes2)
    count_kind(${name} 01 05 n1)
    count_kind(${name} 02 05 n2)
    if(NOT n1 EQUAL ${notes1} OR NOT n2 EQUAL ${notes2})
        message(FATAL_ERROR "${name}: notes ${n1}/${n2}; expected ${notes1}/${notes2}")
    endif()
endfunction()

run_script(base "# nothing\n" 0 -o ${WORK}/base.swn --png ${WORK}/base.png)
expect_counts(base 8 6)

# The last bar of the first system goes down, its four notes with it.
run_script(down "stave 1\naction acMoveLastDown\n" 0 -o ${WORK}/down.swn --png ${WORK}/down.png)
expect_counts(down 4 10)

run_script(downup "stave 1\naction acMoveLastDown\nstave 2\naction acMoveFirstUp\n" 0
           -o ${WORK}/downup.swn)
expect_counts(downup 8 6)

run_script(undone "stave 1\naction acMoveLastDown\nanswer Yes\naction acUndo\n" 0
           -o ${WORK}/undone.swn)
expect_same(undone TRUE)
