# Undoing whole-score commands: the history keeps every stave, and Undo
# brings the score back byte for byte, one command at a time.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(base "" 0 -o ${WORK}/base.swn)
run_script(transposed [=[
answer Interval=Major 2nd up (1 tone); Whole score; Do it!
answer OK
action acTranspose
]=] 0 -o ${WORK}/transposed.swn)
expect_same(transposed FALSE)
run_script(undone [=[
answer Interval=Major 2nd up (1 tone); Whole score; Do it!
answer OK
action acTranspose
stave 2
action acDelstave
answer Interval=Minor 3rd down; Whole score; Do it!
answer OK
action acTranspose
action acUndo
action acUndo
action acUndo
]=] 0 -o ${WORK}/undone.swn)
expect_same(undone TRUE)
