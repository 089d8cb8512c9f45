# Building systems in a script: a new stave, Ctrl+[, a brace and three new
# systems from a one-stave score; a deletion undone saves the staves again.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

# The one-stave score: the example less its last stave.
run_script(one [=[
action acEnd
action acDelstave
]=] 0 -o ${WORK}/one.swn)
set(EXAMPLE ${WORK}/one.swn)
run_script(build [=[
action acNewstavebelow
key Ctrl+[
type {
action acNewsystem
action acNewsystem
action acNewsystem
]=] 0 -o ${WORK}/built.swn --png ${WORK}/built.png --page 1)
execute_process(COMMAND ${CLI} info ${WORK}/built.swn OUTPUT_VARIABLE info)
if(NOT info MATCHES "\"staves\": 8,")
    message(FATAL_ERROR "four systems of two staves expected: ${info}")
endif()
# Every system's top stave is joined (CFlag bit 0) and braced (bit 3) to the
# one below it, which is joined to nothing.
dump_lines(built.swn "^Stv +[1-9]" staves)
list(LENGTH staves n)
if(NOT n EQUAL 8)
    message(FATAL_ERROR "8 stave lines expected in the dump: ${staves}")
endif()
foreach(k RANGE 7)
    list(GET staves ${k} line)
    string(REGEX MATCHALL "[^ ]+" fields "${line}")
    list(GET fields 5 flags)
    string(REPLACE "$" "" flags "${flags}")
    math(EXPR bits "0x${flags} & 9")
    math(EXPR top "${k} % 2")
    if((top EQUAL 0 AND NOT bits EQUAL 9) OR (top EQUAL 1 AND NOT bits EQUAL 0))
        message(FATAL_ERROR "stave ${k} + 1 has flags ${flags}: ${line}")
    endif()
endforeach()

# A deletion undone leaves the staves as they were.
set(EXAMPLE ${WORK}/built.swn)
run_script(base "" 0 -o ${WORK}/base.swn)
run_script(undone [=[
stave 3
action acDelstave
action acUndo
]=] 0 -o ${WORK}/undone.swn)
expect_same(undone TRUE)
run_script(deleted [=[
stave 3
action acDelstave
]=] 0 -o ${WORK}/deleted.swn)
expect_same(deleted FALSE)
