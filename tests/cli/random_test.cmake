# The random tune generator from a script on an empty stave: the same seed
# gives the same file, Abort and the key on a stave that already holds the
# tune change nothing, and the tune plays one quaver apart at its written
# pitches.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

set(tune "stave 2
answer Clef=Bass; Length=12; Complexity=Simple; OK
key Shift+Ctrl+M
")
run_script(one "${tune}" 0 -o ${WORK}/one.swn --seed 1 --png ${WORK}/one.png)
# Pressed again on the filled stave, the key opens no dialog (an open one
# would end the script for want of an answer).
run_script(again "${tune}key Shift+Ctrl+M\n" 0 -o ${WORK}/base.swn --seed 1)
run_script(other "${tune}" 0 -o ${WORK}/other.swn --seed 2)
expect_same(one TRUE)
expect_same(other FALSE)

execute_process(COMMAND ${CLI} info ${WORK}/one.swn OUTPUT_VARIABLE info)
if(NOT info MATCHES "\"objects_per_stave\": \\[0, 14\\]")
    message(FATAL_ERROR "not a tune of twelve notes on stave 2: ${info}")
endif()
objects(one.swn objs)
list(GET objs 0 clef)
if(NOT clef MATCHES "^02 00:01 ")
    message(FATAL_ERROR "the tune does not start with a bass clef: ${clef}")
endif()

# The notes' written positions, played one quaver apart at the bass clef's
# pitches (middle line D, C major).
execute_process(COMMAND ${CLI} convert ${WORK}/one.swn ${WORK}/one.mid RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the tune gave no MIDI file")
endif()
set(pitches "")
foreach(o ${objs})
    if(o MATCHES "^02 05:04 ([0-9A-F][0-9A-F])")
        list(APPEND pitches ${CMAKE_MATCH_1})
    endif()
endforeach()
execute_process(COMMAND ${PYTHON} -c "import sys, mido
f = mido.MidiFile(sys.argv[1])
steps = [0, 2, 3, 5, 7, 9, 10]
want = []
for h in sys.argv[2:]:
    p = int(h, 16) - 256 * (int(h, 16) > 127)
    want.append(50 + steps[p % 7] + 12 * (p // 7))
on, t = [], 0
for m in mido.merge_tracks(f.tracks):
    t += m.time
    if m.type == 'note_on' and m.velocity > 0: on.append((t, m.note))
gaps = {b[0] - a[0] for a, b in zip(on, on[1:])}
ok = [n for _, n in on] == want and gaps == {f.ticks_per_beat // 2}
print('ok' if ok else 'played %s, want %s at %d' % (on, want, f.ticks_per_beat // 2))"
    ${WORK}/one.mid ${pitches} OUTPUT_VARIABLE played)
if(NOT played MATCHES "^ok")
    message(FATAL_ERROR "${played}")
endif()
