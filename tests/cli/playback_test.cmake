# Playback from the command line: the performance rendered to a WAV file, a
# missing sound font refused with no file, and the play window driven by a
# script: F2 three times (show, play, stop) leaves the score as it was and no
# playback file behind; an instrument chosen in "More sounds" is what Save
# Midi writes.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app ${WORK}/tmp)
# The file audio driver plays at the pace of a sound card without needing one.
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n[Sound]\nAudioDriver=file\n")

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/minuet.wav RESULT_VARIABLE rc
                ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/minuet.wav)
    message(FATAL_ERROR "convert to .wav failed (${rc}): ${err}")
endif()
file(READ ${WORK}/minuet.wav head LIMIT 12 HEX)
if(NOT head MATCHES "^52494646........57415645$")
    message(FATAL_ERROR "minuet.wav is no WAV file: ${head}")
endif()
file(SIZE ${WORK}/minuet.wav bytes)
if(bytes LESS 441000)
    message(FATAL_ERROR "minuet.wav holds less than 2.5 s of sound (${bytes} bytes)")
endif()

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/none.wav --soundfont ${WORK}/none.sf2
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS ${WORK}/none.wav OR NOT err MATCHES "sound font")
    message(FATAL_ERROR "a missing sound font should fail with no file (${rc}): ${err}")
endif()

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/base.swn RESULT_VARIABLE rc)
function(play name text)
    file(WRITE ${WORK}/${name}.txt "${text}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORK}/tmp
                            ${CLI} script ${EXAMPLE} ${WORK}/${name}.txt --appdir ${WORK}/app
                            -o ${WORK}/${name}.swn
                    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${name} failed (${rc}): ${err}")
    endif()
    file(GLOB left ${WORK}/tmp/*)
    if(left)
        message(FATAL_ERROR "${name} left files behind: ${left}")
    endif()
    set(err "${err}" PARENT_SCOPE)
endfunction()

play(f2 "key F2\nkey F2\nkey F2\n")
if(err MATCHES "Nothing is played")
    message(FATAL_ERROR "F2 did not play: ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/base.swn ${WORK}/f2.swn
                RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "playing changed the score")
endif()

# Played and left playing: the end of the script stops it and removes its file.
play(left "key F2\naction acPlayScore\n")
# The range chosen is kept in the settings for the next run.
file(STRINGS ${WORK}/app/STAFWR5.INI what REGEX "^What=")
if(NOT what STREQUAL "What=4")
    message(FATAL_ERROR "Play whole score should leave What=4, not ${what}")
endif()

# From one stave, Save Midi asks first.
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\n[Sound]\nAudioDriver=file\nWhat=0\n")
play(violin "key F2\nanswer 41 Violin; OK\naction bbMoreSounds\nanswer Yes\nanswer ${WORK}/violin.mid\naction bbSaveMidi\n")
execute_process(COMMAND ${PYTHON} -c
    "import sys, mido; print(sorted({m.program for t in mido.MidiFile(sys.argv[1]).tracks for m in t if m.type == 'program_change'}))"
    ${WORK}/violin.mid OUTPUT_VARIABLE programs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT programs MATCHES "^\\[40\\]")
    message(FATAL_ERROR "violin.mid should play program 40 alone: ${programs}")
endif()
