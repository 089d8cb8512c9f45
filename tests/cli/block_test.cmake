# Drives block operations through `staffwright-cli script` on the minuet: the
# treble's bar 2 copied once onto the bass below (PgDown), the bass's C of
# bar 3 moved 20 pixels right (Ctrl+Right twice), the treble's bar 4 deleted,
# then three Undos giving the score back. Results are read from the dump.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

set(blocks "action acBlockMode\nanswer Copy Once\ndrag 212 80 322 140\nkey PgDown\nkey Enter\n\
action acBlockMode\nanswer Mo&ve\ndrag 330 170 440 224\nkey Ctrl+Right\nkey Ctrl+Right\nkey Enter\n\
action acBlockMode\nanswer Delete\ndrag 447 80 557 140\n")

run_script(base "# nothing\n" 0 -o ${WORK}/base.swn)
run_script(blocks "${blocks}" 0 -o ${WORK}/blocks.swn --png ${WORK}/blocks.png)

execute_process(COMMAND ${CLI} info ${WORK}/blocks.swn OUTPUT_VARIABLE info)
string(FIND "${info}" "\"objects_per_stave\": [25, 11, 22, 10, 22, 7, 22, 9]" at)
if(at EQUAL -1)
    message(FATAL_ERROR "three notes should have gone from stave 1 to stave 2: ${info}")
endif()
dump_lines(blocks.swn "^Record +[0-9]+: 02 " bass)
string(JOIN "\n" bass ${bass})
# The C of bar 3 (x 341, y 176) now stands at x 361.
if(NOT bass MATCHES "02 .. 69 01 B0 00" OR bass MATCHES "02 .. 55 01 B0 00")
    message(FATAL_ERROR "the bass's C should have moved to x 361:\n${bass}")
endif()
# The copy of the treble's D (x 223) keeps its offset to its new stave.
if(NOT bass MATCHES "02 .. DF 00 C0 00 FE 05")
    message(FATAL_ERROR "the copied D is missing from the bass:\n${bass}")
endif()

run_script(undone "${blocks}answer Yes\naction acUndo\nanswer Yes\naction acUndo\nanswer Yes\naction acUndo\n"
           0 -o ${WORK}/undone.swn)
expect_same(undone TRUE)
