# recognise IN OUT.swn: page 1 of the example printed to a BMP, recognised by
# the engine and converted; the score opens in the editor; failures leave no
# file behind and say why.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/page.bmp RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "printing the page failed: ${rc}")
endif()
execute_process(COMMAND ${CLI} recognise ${WORK}/page.bmp ${WORK}/page.swn --appdir ${WORK}/app
                        --result ${WORK}/page.mro
                RESULT_VARIABLE rc OUTPUT_VARIABLE counts ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT counts MATCHES "\"Systems\": 3, \"Staves\": 6, \"Bars\": [0-9]+, \"Notes\": 6[0-9], \"Curves\": 0, \"Clefs\": 6"
   OR NOT EXISTS ${WORK}/page.mro)
    message(FATAL_ERROR "recognise: ${rc} ${counts} ${err}")
endif()
execute_process(COMMAND ${CLI} info ${WORK}/page.swn OUTPUT_VARIABLE info RESULT_VARIABLE rc)
# Printed at 240 dots an inch from a 0.4 inch stave: the same stave size comes back.
if(NOT rc EQUAL 0 OR NOT info MATCHES "\"staves\": 6" OR NOT info MATCHES "\"stave_size\": 0.400")
    message(FATAL_ERROR "info: ${info}")
endif()

# The recognised score is edited as any other: a note entered on its first stave.
file(WRITE ${WORK}/edit.txt "stave 1\nkey C\nkey Space\nsave ${WORK}/edited.swn\n")
execute_process(COMMAND ${CLI} script ${WORK}/page.swn ${WORK}/edit.txt --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/edited.swn)
    message(FATAL_ERROR "editing the recognised score: ${rc} ${err}")
endif()

# The result file again, at a resolution that makes the page too wide for
# portrait: landscape answers the paper-fit dialog.
execute_process(COMMAND ${CLI} recognise ${WORK}/page.mro ${WORK}/wide.swn --dpi 120 --fit landscape
                        --appdir ${WORK}/app
                RESULT_VARIABLE rc OUTPUT_VARIABLE again)
execute_process(COMMAND ${CLI} info ${WORK}/wide.swn OUTPUT_VARIABLE info)
if(NOT rc EQUAL 0 OR NOT again STREQUAL counts OR NOT info MATCHES "\"landscape\": true")
    message(FATAL_ERROR "landscape: ${rc} ${again} ${info}")
endif()

# No stave size: nothing written, and the file of that name is kept.
file(WRITE ${WORK}/flat.mro "fileheader { version 1 }\nscore { pages { nof 1 page { spacing 0\nsystems { nof 1 system { top 1 left 1 width 100\nstaves { nof 1 stave { top 1 left 1 width 100 size 64 } } } } } } }\n")
file(WRITE ${WORK}/kept.swn "kept")
execute_process(COMMAND ${CLI} recognise ${WORK}/flat.mro ${WORK}/kept.swn --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
file(READ ${WORK}/kept.swn kept)
if(rc EQUAL 0 OR NOT err MATCHES "Unable to complete operation" OR NOT kept STREQUAL "kept")
    message(FATAL_ERROR "no stave size: ${rc} ${err} ${kept}")
endif()

# A picture that is not a 1-bit BMP: the engine refuses it, no score appears.
file(WRITE ${WORK}/text.bmp "not a picture")
execute_process(COMMAND ${CLI} recognise ${WORK}/text.bmp ${WORK}/none.swn --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS ${WORK}/none.swn OR NOT err MATCHES "not a 1-bit BMP")
    message(FATAL_ERROR "not a picture: ${rc} ${err}")
endif()

# The engine on its own: one line for --version; a bad option or a bad picture
# leaves no result and no DONE.
execute_process(COMMAND ${VELTRO} --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^veltro [0-9.]+\n$")
    message(FATAL_ERROR "--version: ${rc} ${version}")
endif()
execute_process(COMMAND ${VELTRO} --input ${WORK}/page.bmp --output ${WORK}/x.mro --thin-beams 2
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS ${WORK}/x.mro OR out MATCHES "DONE" OR err STREQUAL "")
    message(FATAL_ERROR "a bad option: ${rc} ${out} ${err}")
endif()
execute_process(COMMAND ${VELTRO} --input ${WORK}/page.bmp --output ${WORK}/y.mro --dpi 240
                RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/y.mro OR NOT out MATCHES "PROGRESS 0 [0-9]+\n.*DONE\n$")
    message(FATAL_ERROR "the engine: ${rc} ${out}")
endif()
file(GLOB left ${WORK}/*.part-* ${WORK}/.*.part)
if(left)
    message(FATAL_ERROR "temporary files left: ${left}")
endif()
