# Drives the stem, beam and alignment commands through `staffwright-cli script`
# on the minuet: the focus note's commands by resting the mouse on a quaver,
# the Tools menu's two commands, their questions and dialogs, and Undo.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

# The minuet's first beam: G (136, 118) on to A (151, 114).
run_script(base "# nothing\n" 0 -o ${WORK}/base.swn)
run_script(reversed "hover 138 118\naction acReverseStem\n" 0 -o ${WORK}/reversed.swn)
expect_same(reversed FALSE)
# The minuet's stems are already as the rule chooses: optimising mends the
# reversed stem, on both staves.
run_script(optimised "hover 138 118
action acReverseStem
stave 1
action acOptimiseStems
stave 2
action acOptimiseStems
" 0 -o ${WORK}/optimised.swn)
expect_same(optimised TRUE)
# Unbeam and Beam to previous take the A off its beam and put it back.
run_script(rebeamed "hover 153 114\naction acUnbeam\n" 0 -o ${WORK}/rebeamed.swn)
expect_same(rebeamed FALSE)
run_script(rebeamed "hover 153 114\naction acUnbeam\naction acBeamToPrevious\n" 0 -o ${WORK}/rebeamed.swn)
expect_same(rebeamed TRUE)
# Flat beam and Make Triplet, each taken back by one Undo.
run_script(undone "hover 138 118
action acFlatBeam
action acMakeTriplet
answer Yes
action acUndo
answer Yes
action acUndo
" 0 -o ${WORK}/undone.swn)
expect_same(undone TRUE)
run_script(flat "hover 138 118\naction acFlatBeam\naction acMakeTriplet\n" 0 -o ${WORK}/flat.swn)
expect_same(flat FALSE)
# Note alignment through its dialog, and its Undo.
run_script(aligned "stave 1
answer Current Stave; Use Leftmost note; Proximity=20; Include Grace notes=Yes; OK
action acNoteAlignment
" 0 -o ${WORK}/aligned.swn)
expect_same(aligned FALSE)
run_script(alignundone "stave 1
answer Current Stave; Proximity=20; OK
action acNoteAlignment
answer Yes
action acUndo
" 0 -o ${WORK}/alignundone.swn)
expect_same(alignundone TRUE)
run_script(badproximity "answer Proximity=21; OK\naction acNoteAlignment\n" 1 -o ${WORK}/badproximity.swn)
if(NOT err MATCHES "Proximity")
    message(FATAL_ERROR "a proximity out of range must fail its line: ${err}")
endif()
# Away from every note the focus commands are greyed out.
run_script(nofocus "hover 5 5\naction acReverseStem\n" 1 -o ${WORK}/nofocus.swn)
if(NOT err MATCHES "acReverseStem is not available")
    message(FATAL_ERROR "a focus command with no note must be refused: ${err}")
endif()
