# Types a tune through `staffwright-cli script` with keys only: a key
# signature, beamed quavers, a dotted note, a natural and a flat, a rest,
# bar lines, a tie, a chord, an octave, a staccato and an accent. The saved
# records are checked field by field, then Ctrl+Z walks back to the file
# that was opened.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

set(tune [=[
key Home
type k
answer No
key Space
type 5c
key Space
type d
key Backspace
key Space
type 4f.
key Space
key /
key Space
type bn
key Space
key Space
type bv
key Space
key Space
type z
key Space
key \
key Space
type g
key Space
type gT
key Space
type c
key Enter
type e
key Enter
type g
key Space
type c
key Down
key Space
type d'
key Space
type e-
key Space
key |
key Space
save ${WORK}/tune.swn
]=])
foreach(i RANGE 1 20)
    string(APPEND tune "answer Yes\nkey Ctrl+Z\n")
endforeach()
string(APPEND tune "save ${WORK}/undone.swn\n")
run_script(tune "${tune}" 0)

# Stave byte, kind, then the data bytes (value, pitch, dots, stem, beam back,
# beam on, rest, marks, …, tie left, tie right, tie over for a note).
set(want
    "01 01:FF 01 00 00 00 00 00 00 00 00 00 00 00 00"  # one flat, naturals on a change
    "01 05:04 01 00 01 00 03 00 00 00 00 00 00 00 00"  # quaver C beamed on to 3
    "01 05:04 02 00 01 02 00 00 00 00 00 00 00 00 00"  # quaver D beamed back to 2
    "01 05:03 04 01 01 00 00 00 00 00 00 00 00 00 00"  # dotted crotchet F
    "01 04:00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    "01 07:07 00 00 00 00 00 00 00 00 00 00 00 00 00"  # natural
    "01 05:03 07 00 01 00 00 00 00 00 00 00 00 00 00"
    "01 07:07 FF 00 00 00 00 00 00 00 00 00 00 00 00"  # flat
    "01 05:03 07 00 01 00 00 00 00 00 00 00 00 00 00"
    "01 05:03 00 00 01 00 00 01 00 00 00 00 00 00 00"  # crotchet rest, its stem resolved
    "01 04:00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    "01 05:03 05 00 01 00 00 00 00 00 00 0D 00 00 00"  # G tied on to 13
    "01 05:03 05 00 01 00 00 00 00 00 0C 00 01 00 00"  # G tied back to 12, over
    "01 05:03 0C 00 01 00 00 00 00 00 00 00 00 00 00"  # the chord C E G
    "01 05:03 0A 00 01 00 00 00 00 00 00 00 00 00 00"
    "01 05:03 08 00 01 00 00 00 00 00 00 00 00 00 00"
    "01 05:03 08 00 01 00 00 00 00 00 00 00 00 00 00"  # C an octave down
    "01 05:03 09 00 01 00 00 00 01 00 00 00 00 00 00"  # staccato D
    "01 05:03 0A 00 01 00 00 00 08 00 00 00 00 00 00"  # accented E
    "01 04:00 00 00 00 00 00 00 00 00 00 00 00 00 00")
objects(tune.swn got)
if(NOT got STREQUAL want)
    string(JOIN "\n" shown ${got})
    message(FATAL_ERROR "the typed tune saved:\n${shown}")
endif()
file(COPY ${EXAMPLE} DESTINATION ${WORK})
get_filename_component(opened ${EXAMPLE} NAME)
objects(${opened} before)
objects(undone.swn after)
if(NOT after STREQUAL before)
    message(FATAL_ERROR "Ctrl+Z did not walk back to the opened file: ${after}")
endif()

# Ins opens the Add menu; its clef item places a clef that Enter completes.
set(added [=[
answer Clef...
answer OK
key Ins
key Enter
save ${WORK}/added.swn
]=])
run_script(added "${added}" 0)
objects(added.swn got)
list(LENGTH got n)
list(GET got 0 first)
if(NOT n EQUAL 1 OR NOT first MATCHES "^01 00:")
    message(FATAL_ERROR "Ins, Clef..., Enter saved: ${got}")
endif()
