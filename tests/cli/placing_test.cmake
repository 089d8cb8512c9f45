# Places one of each kind through `staffwright-cli script` on an empty
# two-stave system: a title of two words, a lyric under three notes with its
# hyphen set apart, a line, a curve, a hairpin, a symbol from its palette and
# a shape from the shapes palette. The saved file is counted kind by kind and
# the lyric's pieces are looked for in its records; the page is drawn.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(placed [=[
click 120 62
type c
key Space
type e
key Space
type g
key Space
click 100 62
mode Text
type Allegro moderato
key Enter
action acLyric
type hap-py day
key Enter
mode Line
drag 300 30 420 30
key Esc
mode Curve
click 120 40
click 160 28
click 200 40
key Esc
mode Hairpin
drag 300 100 360 95
answer 142
mode Symbol
click 430 80
answer Solid Circle
action acShape
click 480 40
click 488 46
save ${WORK}/placed.swn
]=] 0 --png ${WORK}/placed.png)

execute_process(COMMAND ${CLI} info ${WORK}/placed.swn OUTPUT_VARIABLE info RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "no summary of the placed score")
endif()
foreach(want "\"Note\": 3" "\"Text\": 6" "\"Line\": 1" "\"Curve\": 3" "\"Hairpin\": 1"
             "\"~~~\": 1" "\"Drawobject\": 1")
    string(FIND "${info}" "${want}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the placed score lacks ${want}: ${info}")
    endif()
endforeach()

# The syllables without their hyphen, and the hyphen on its own.
execute_process(COMMAND ${CLI} dump ${WORK}/placed.swn ${WORK}/placed.txt RESULT_VARIABLE rc)
file(READ ${WORK}/placed.txt dump)
foreach(chunk "03 68 61 70 00" "02 70 79 00" "01 2D 00" "03 64 61 79 00")
    string(FIND "${dump}" "${chunk}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "no text piece ${chunk} in the placed score")
    endif()
endforeach()
if(NOT EXISTS ${WORK}/placed.png)
    message(FATAL_ERROR "the page was not drawn")
endif()
