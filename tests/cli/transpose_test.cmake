# Transposition from the command line and from a script on the minuet, read
# back through the performance: a tone up sounds every note two semitones
# higher, a clef change alone sounds as before, and a refusal writes nothing.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

function(convert out)
    execute_process(COMMAND ${CLI} convert ${ARGN} ${WORK}/${out} RESULT_VARIABLE rc
                    ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "convert to ${out} failed (${rc}): ${err}")
    endif()
endfunction()

# The keys of every note-on of a MIDI file, shifted by SHIFT semitones.
function(midi_keys file shift out)
    execute_process(COMMAND ${PYTHON} -c
        "import sys, mido; print(' '.join(str(m.note + int(sys.argv[2])) for t in mido.MidiFile(sys.argv[1]).tracks for m in t if m.type == 'note_on' and m.velocity > 0))"
        ${WORK}/${file} ${shift} OUTPUT_VARIABLE keys RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR keys STREQUAL "")
        message(FATAL_ERROR "no notes read from ${file}")
    endif()
    set(${out} "${keys}" PARENT_SCOPE)
endfunction()

function(expect_same_keys a shift b)
    midi_keys(${a} ${shift} ka)
    midi_keys(${b} 0 kb)
    if(NOT ka STREQUAL kb)
        message(FATAL_ERROR "${b} does not sound as ${a} ${shift}:\n${ka}\n${kb}")
    endif()
endfunction()

convert(minuet.mid ${EXAMPLE})
convert(up.swn ${EXAMPLE} --transpose 2)
convert(up.mid ${WORK}/up.swn)
expect_same_keys(minuet.mid 2 up.mid)
convert(down.mid ${EXAMPLE} --transpose -13)
expect_same_keys(minuet.mid -13 down.mid)
convert(bass.mid ${EXAMPLE} --clef bass)
expect_same_keys(minuet.mid 0 bass.mid)
convert(up.png ${EXAMPLE} --transpose 2)

# Nothing to do is the dialog's refusal; a distance out of range is no option.
foreach(args "--transpose;0" "--transpose;25" "--clef;soprano")
    execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/refused.swn ${args}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(rc EQUAL 0 OR EXISTS ${WORK}/refused.swn)
        message(FATAL_ERROR "${args} should have been refused: ${err}")
    endif()
endforeach()
if(NOT err MATCHES "usage")
    message(FATAL_ERROR "a bad clef should print the usage: ${err}")
endif()

# The dialog from a script: the same tone up over the whole score, and Undo.
run_script(dialog "answer Interval=Major 2nd up (1 tone); Whole score; Do it!
answer OK
action acTranspose
" 0 -o ${WORK}/dialog.swn)
convert(dialog.mid ${WORK}/dialog.swn)
expect_same_keys(minuet.mid 2 dialog.mid)
run_script(undone "answer Distance and Direction=2; Whole score; Do it!
answer OK
action acTranspose
action acUndo
" 0 -o ${WORK}/undone.swn)
convert(undone.mid ${WORK}/undone.swn)
expect_same_keys(minuet.mid 0 undone.mid)
