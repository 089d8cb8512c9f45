# Drives the bar moves through `staffwright-cli script` at user level 3, read
# from the application folder's settings as the editor reads it, on a
# two-system score of two staves imported from MusicXML, whose first system's
# last bar holds a slur, a lyric and a tie over the system break: the bar goes
# down and comes back up, Undo takes a move back whole without a question, and
# the bar-number font chosen in "Bar Maintenance" goes back to the settings.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n[Barfont]\nName=Arial\nSize=11\nStyle=B\n")

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/in.swn RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "import: ${rc} ${err}")
endif()
set(EXAMPLE ${WORK}/in.swn)

# How many objects of kind KIND (two hex digits) stave STAVE of NAME.swn
# holds; further FIELD VALUE pairs keep those whose data byte FIELD is VALUE.
function(count_kind name stave kind out)
    objects(${name}.swn list)
    set(n 0)
    foreach(e ${list})
        if(NOT e MATCHES "^${stave} ${kind}:")
            continue()
        endif()
        string(REGEX REPLACE "^.*:" "" bytes "${e}")
        string(REPLACE " " ";" bytes "${bytes}")
        set(rest ${ARGN})
        set(match TRUE)
        while(rest)
            list(POP_FRONT rest field value)
            list(GET bytes ${field} byte)
            if(NOT byte STREQUAL value)
                set(match FALSE)
            endif()
        endwhile()
        if(match)
            math(EXPR n "${n} + 1")
        endif()
    endforeach()
    set(${out} ${n} PARENT_SCOPE)
endfunction()

# The notes, text records and curve anchors of the top staves 1 and 3.
function(expect_counts name notes1 notes3 texts1 texts3 curves1 curves3)
    set(got "")
    foreach(kind 05 10 0C)
        foreach(stave 01 03)
            count_kind(${name} ${stave} ${kind} n)
            list(APPEND got ${n})
        endforeach()
    endforeach()
    set(want ${notes1} ${notes3} ${texts1} ${texts3} ${curves1} ${curves3})
    if(NOT got STREQUAL want)
        message(FATAL_ERROR "${name}: notes, texts, curves ${got}; expected ${want}")
    endif()
endfunction()

# The tie over the break: the last C (pitch 1) of the first system leaves
# it, the C opening the second arrives; no other note is tied over it.
function(expect_tie_over_break name)
    count_kind(${name} 01 05 over 10 FF 1 01)
    count_kind(${name} 03 05 from 9 FF 1 01)
    count_kind(${name} 01 05 any 10 FF)
    if(NOT over EQUAL 1 OR NOT from EQUAL 1 OR NOT any EQUAL 1)
        message(FATAL_ERROR "${name}: ${over} ties over the break, ${from} from it")
    endif()
endfunction()

run_script(base "# nothing\n" 0 -o ${WORK}/base.swn --png ${WORK}/base.png)
expect_counts(base 8 6 2 0 3 0)
expect_tie_over_break(base)

# The last bar goes down with its slur and lyric; its tie over the break
# becomes a tie within the next system; the bass goes with it.
run_script(down "stave 1\naction acMoveLastDown\n" 0 -o ${WORK}/down.swn --png ${WORK}/down.png)
expect_counts(down 4 10 0 2 0 3)
count_kind(down 02 05 bass2)
count_kind(down 04 05 bass4)
count_kind(down 03 05 over 10 FF)
count_kind(down 03 05 from 9 FF)
count_kind(down 03 05 plain 10 00)
if(NOT bass2 EQUAL 1 OR NOT bass4 EQUAL 5 OR NOT over EQUAL 0 OR NOT from EQUAL 0
   OR NOT plain EQUAL 9)
    message(FATAL_ERROR "down: bass ${bass2}/${bass4}, ties ${over} over, ${from} from, "
                        "${plain} untied")
endif()

run_script(downup "stave 1\naction acMoveLastDown\nstave 3\naction acMoveFirstUp\n" 0
           -o ${WORK}/downup.swn --png ${WORK}/downup.png)
expect_counts(downup 8 6 2 0 3 0)
expect_tie_over_break(downup)

# At level 3 Undo asks nothing: no answer is queued.
run_script(undone "stave 1\naction acMoveLastDown\naction acUndo\n" 0 -o ${WORK}/undone.swn)
expect_same(undone TRUE)
run_script(upundone "stave 3\naction acMoveFirstUp\naction acUndo\n" 0 -o ${WORK}/upundone.swn)
expect_same(upundone TRUE)

# The font dialog opens on the settings' font (bold kept); the font chosen
# is written back.
run_script(font [=[
answer Go to bar number; Target bar number=3; Change font; OK
answer Font=Courier New; Size=12; Italic=Yes; OK
action acBarmaintain
]=] 0)
file(READ ${WORK}/app/STAFWR5.INI ini)
if(NOT ini MATCHES "\\[Barfont\\]\r?\nName=Courier New\r?\nSize=12\r?\nStyle=BI")
    message(FATAL_ERROR "the bar-number font was not kept:\n${ini}")
endif()
