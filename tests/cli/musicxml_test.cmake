# convert IN.swn OUT.musicxml and OUT.mxl, and the File menu's Export MusicXML
# driven by a script: files that validate against the MusicXML 4.0 schema; a
# target that cannot be written fails and leaves nothing behind.
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(schema ${CMAKE_CURRENT_LIST_DIR}/../data/musicxml/musicxml.xsd)

function(validate path)
    execute_process(COMMAND ${XMLLINT} --noout --schema ${schema} ${path}
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${path} does not validate: ${err}")
    endif()
endfunction()

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/minuet.musicxml
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "convert to .musicxml: ${rc} ${err}")
endif()
validate(${WORK}/minuet.musicxml)
file(READ ${WORK}/minuet.musicxml xml)
if(NOT xml MATCHES "<work-title>Minuet in G</work-title>" OR NOT xml MATCHES "<score-part id=\"P2\">")
    message(FATAL_ERROR "the title or the second part is missing")
endif()

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/minuet.mxl RESULT_VARIABLE rc)
file(READ ${WORK}/minuet.mxl head LIMIT 38 HEX)
if(NOT rc EQUAL 0 OR NOT head MATCHES "^504b0304.*6d696d6574797065$")
    message(FATAL_ERROR "convert to .mxl: ${rc} ${head}")
endif()

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/missing/x.musicxml
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS ${WORK}/missing OR NOT err MATCHES "cannot be written")
    message(FATAL_ERROR "an unwritable target: ${rc} ${err}")
endif()

run_script(export "answer ${WORK}/scripted.musicxml\naction acExportMusicXml\n" 0)
validate(${WORK}/scripted.musicxml)
file(READ ${WORK}/scripted.musicxml scripted)
if(NOT scripted STREQUAL xml)
    message(FATAL_ERROR "the menu item wrote another file than the command line")
endif()
file(GLOB left ${WORK}/.*.part)
if(left)
    message(FATAL_ERROR "temporary files left: ${left}")
endif()
