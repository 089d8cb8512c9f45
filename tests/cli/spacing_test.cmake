# Justify, compress and neaten through `staffwright-cli script` on the minuet:
# the whole-score warning answered both ways, one Undo for each command, the
# "Neaten Stave(s)" dialog keeping its spacing in the settings, and a
# compression dragged past the end of the system.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(base "# nothing\n" 0 -o ${WORK}/base.swn)
run_script(neatened "answer OK\nkey Ctrl+F6\n" 0 -o ${WORK}/neatened.swn)
expect_same(neatened FALSE)
if(NOT err MATCHES "message: You are about to neaten the notes in EVERY system in the piece")
    message(FATAL_ERROR "the whole-score neaten must warn first: ${err}")
endif()
run_script(kept "answer Cancel\nkey Ctrl+F6\n" 0 -o ${WORK}/kept.swn)
expect_same(kept TRUE)
run_script(neatenundone "answer OK\nkey Ctrl+F6\nanswer Yes\naction acUndo\n" 0
           -o ${WORK}/neatenundone.swn)
expect_same(neatenundone TRUE)

# The third system ends before the right end: Ctrl+J stretches it there.
run_script(justified "stave 5\nkey Ctrl+J\n" 0 -o ${WORK}/justified.swn)
expect_same(justified FALSE)
run_script(justifyundone "stave 5\nkey Ctrl+J\nanswer Yes\naction acUndo\n" 0
           -o ${WORK}/justifyundone.swn)
expect_same(justifyundone TRUE)

# The dialog: equal spacing over the whole score, kept for the next time.
run_script(dialog "answer Whole Score; Note Spacing=100; OK\nanswer OK\nkey F6\n" 0
           -o ${WORK}/dialog.swn)
expect_same(dialog FALSE)
file(READ ${WORK}/app/STAFWR5.INI ini)
if(NOT ini MATCHES "Neatenfactor=1000")
    message(FATAL_ERROR "the dialog's spacing must be kept in the settings: ${ini}")
endif()
run_script(badspacing "answer Note Spacing=101; OK\nkey F6\n" 1)

# Pressed between the first bar's notes and dragged past the end.
run_script(compressed "action acCompress\ndrag 120 110 700 110\n" 0 -o ${WORK}/compressed.swn)
expect_same(compressed FALSE)
run_script(nodirection "action acCompress\nclick 120 110\n" 0 -o ${WORK}/nodirection.swn)
expect_same(nodirection TRUE)
if(NOT err MATCHES "message: No objects in that direction to compress!")
    message(FATAL_ERROR "a click without a direction must be refused: ${err}")
endif()
