# "Format for GHB" from a script on a tune typed into an empty stave (a grace
# note, melody notes, an acciaccatura), read back through the performance:
# with every box ticked each note plays on the bagpipe a semitone up with F
# and C sharpened and its pitch class bent into the pipes' tuning; with only
# "Sound = Bagpipe" only the instrument changes; Cancel changes nothing.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n")

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

# Every sounding note of a MIDI file as key:program:bend (program counted
# from 1, bend from the centre), sorted.
file(WRITE ${WORK}/notes.py "import sys, mido
prog, bend, out = {}, {}, []
for t in mido.MidiFile(sys.argv[1]).tracks:
    for m in t:
        if m.type == 'program_change': prog[m.channel] = m.program + 1
        elif m.type == 'pitchwheel': bend[m.channel] = m.pitch
        elif m.type == 'note_on' and m.velocity > 0:
            out.append((m.note, prog.get(m.channel, 0), bend.get(m.channel, 0)))
print(' '.join('%d:%d:%d' % n for n in sorted(out)))
")
function(notes swn out)
    execute_process(COMMAND ${CLI} convert ${WORK}/${swn}.swn ${WORK}/${swn}.mid
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "no MIDI file of ${swn}: ${err}")
    endif()
    execute_process(COMMAND ${PYTHON} ${WORK}/notes.py ${WORK}/${swn}.mid
                    OUTPUT_VARIABLE n RESULT_VARIABLE rc)
    string(STRIP "${n}" n)
    if(NOT rc EQUAL 0 OR n STREQUAL "")
        message(FATAL_ERROR "no notes read from ${swn}.mid")
    endif()
    set(${out} "${n}" PARENT_SCOPE)
endfunction()

set(tune "click 100 62
key 0
key A
key Space
key 0
key F
key Space
key C
key Space
key E
key %
key Space
key G
key Space
key D
key Space
")
run_script(tune "${tune}" 0 -o ${WORK}/tune.swn)
run_script(pipes "${tune}answer OK\naction FormatforGHB1Click\n" 0 -o ${WORK}/pipes.swn
           --png ${WORK}/pipes.png)
run_script(sound "${tune}answer Remove; Sound = Bagpipe=Yes; OK\naction FormatforGHB1Click\n" 0
           -o ${WORK}/sound.swn)
run_script(cancelled "${tune}answer Cancel\naction FormatforGHB1Click\n" 0
           -o ${WORK}/cancelled.swn)

notes(tune plain)
notes(pipes piped)
notes(sound sounded)
notes(cancelled kept)
if(NOT kept STREQUAL plain)
    message(FATAL_ERROR "Cancel changed the performance:\n${plain}\n${kept}")
endif()

# The pipes' tuning in cents by pitch class from C, and the bend of each.
set(cents 33.0 19.3 52.6 33.0 35.0 33.0 17.4 40.6 33.0 33.0 33.0 36.9)
string(REPLACE " " ";" plain "${plain}")
set(want_piped "")
set(want_sounded "")
foreach(n ${plain})
    string(REPLACE ":" ";" n "${n}")
    list(GET n 0 key)
    list(GET n 2 bend)
    if(NOT bend EQUAL 0)
        message(FATAL_ERROR "the plain tune is bent: ${plain}")
    endif()
    math(EXPR pc "${key} % 12")
    if(pc EQUAL 0 OR pc EQUAL 5)
        math(EXPR key "${key} + 1")  # the implied F and C sharps
    endif()
    math(EXPR key "${key} + 1")
    math(EXPR pc "${key} % 12")
    list(GET cents ${pc} c)
    execute_process(COMMAND ${PYTHON} -c "print(round(${c} / 200 * 8192))" OUTPUT_VARIABLE b)
    string(STRIP "${b}" b)
    list(APPEND want_piped "${key}:110:${b}")
    list(GET n 0 key)
    list(APPEND want_sounded "${key}:110:0")
endforeach()
execute_process(COMMAND ${PYTHON} -c "import sys; print(' '.join(sorted(sys.argv[1:], key=lambda s: [int(x) for x in s.split(':')])))"
                ${want_piped} OUTPUT_VARIABLE want_piped)
string(STRIP "${want_piped}" want_piped)
string(REPLACE ";" " " want_sounded "${want_sounded}")
if(NOT piped STREQUAL want_piped)
    message(FATAL_ERROR "formatted for the pipes:\n${piped}\nwant\n${want_piped}")
endif()
if(NOT sounded STREQUAL want_sounded)
    message(FATAL_ERROR "only the bagpipe sound:\n${sounded}\nwant\n${want_sounded}")
endif()

# The grace note in small demisemiquavers with its stem up, the melody notes
# stemmed down, the acciaccatura as it was.
objects(tune.swn before)
objects(pipes.swn after)
if(before STREQUAL after)
    message(FATAL_ERROR "formatting left every note as it was")
endif()
