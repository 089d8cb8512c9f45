# Types the engraving cases a musician notices through `staffwright-cli
# script` on an empty two-stave system: quavers E A E E beamed with their
# stems up (the beam must clear the high A), a crotchet with a staccato and a
# tenuto, and a dotted quaver on a line. The saved records are checked, and
# the page the editor drew must be the page the saved file draws, at screen
# scale, in print and as a PDF.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(typed [=[
click 100 62
type j5e
key Down
key Space
type a
key Up
key Backspace
key Space
type e
key Down
key Backspace
key Space
type e
key Backspace
key Space
type 4b'-
key Up
key Space
type 5g.
key Space
save ${WORK}/typed.swn
]=] 0 --png ${WORK}/typed.png)

# Stave, kind, then value, pitch, dots, stem, beam back, beam on, …
set(want
    "01 05:04 FC 00 00 00 02 00 00 00 00 00 00 00 00"  # E4 beamed on to 2
    "01 05:04 06 00 00 01 03 00 00 00 00 00 00 00 00"  # A5, stem up
    "01 05:04 FC 00 00 02 04 00 00 00 00 00 00 00 00"
    "01 05:04 FC 00 00 03 00 00 00 00 00 00 00 00 00"
    "01 05:03 00 00 00 00 00 00 09 00 00 00 00 00 00"  # B4, staccato and tenuto
    "01 05:04 FE 01 00 00 00 00 00 00 00 00 00 00 00") # dotted G4
objects(typed.swn got)
if(NOT got STREQUAL want)
    string(JOIN "\n" shown ${got})
    message(FATAL_ERROR "the typed cases saved:\n${shown}")
endif()

execute_process(COMMAND ${CLI} convert ${WORK}/typed.swn ${WORK}/saved.png RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the saved cases did not draw")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/typed.png ${WORK}/saved.png
                RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "the editor's page differs from the saved file's")
endif()
foreach(out saved-print.png saved.pdf)
    set(extra "")
    if(out MATCHES "print")
        set(extra --print)
    endif()
    execute_process(COMMAND ${CLI} convert ${WORK}/typed.swn ${WORK}/${out} ${extra}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    file(SIZE ${WORK}/${out} size)
    if(NOT rc EQUAL 0 OR size LESS 1000)
        message(FATAL_ERROR "${out} was not written (${rc}): ${err}")
    endif()
endforeach()
