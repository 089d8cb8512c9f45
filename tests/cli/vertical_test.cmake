# Adjust vertical stave spacing on page 2 of a score whose systems stand at
# uneven distances (one pair overlapping): afterwards the gaps between the
# systems of page 2 differ by less than their count, and page 1 is as it was.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(before "save ${WORK}/before.swn\n" 0)
run_script(respace [=[
page 2
answer Equal sized gaps; OK
action acVerticalSpacing
save ${WORK}/after.swn
]=] 0)

# "page:ycoord:miny:maxy" of every music stave of a saved file.
function(staves file out)
    dump_lines(${file} "^Stv +[1-9][0-9]*:" lines)
    set(list "")
    foreach(l ${lines})
        string(REGEX REPLACE "^Stv +[0-9]+: +(-?[0-9]+) +(-?[0-9]+) +(-?[0-9]+) .* ([0-9]+)$"
                             "\\4:\\1:\\2:\\3" e "${l}")
        list(APPEND list "${e}")
    endforeach()
    set(${out} "${list}" PARENT_SCOPE)
endfunction()

staves(before.swn before)
staves(after.swn after)
set(gaps "")
set(previous "")
foreach(i RANGE 9)
    list(GET before ${i} b)
    list(GET after ${i} a)
    string(REPLACE ":" ";" parts "${a}")
    list(GET parts 0 page)
    if(page EQUAL 1 AND NOT a STREQUAL b)
        message(FATAL_ERROR "page 1 changed: ${b} became ${a}")
    endif()
    if(page EQUAL 2)
        list(GET parts 2 top)
        list(GET parts 3 bottom)
        if(NOT previous STREQUAL "")
            math(EXPR gap "${top} - ${previous}")
            list(APPEND gaps ${gap})
        endif()
        set(previous ${bottom})
    endif()
endforeach()
list(LENGTH gaps n)
list(SORT gaps COMPARE NATURAL)
list(GET gaps 0 smallest)
list(GET gaps -1 largest)
math(EXPR spread "${largest} - ${smallest}")
if(n LESS 2 OR spread GREATER_EQUAL n OR smallest LESS 0)
    message(FATAL_ERROR "the gaps on page 2 are ${gaps} (before: ${before}, after: ${after})")
endif()
if(before STREQUAL after)
    message(FATAL_ERROR "nothing moved")
endif()
