# scan SCRIPT: the scan window's commands with no window. A printed page lying
# on its side is turned back, interpreted and handed to the editor; a score of
# the same name is replaced only when the user says; SANE's test scanner.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app ${WORK}/sane)
execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/page.bmp RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "printing the page failed: ${rc}")
endif()

function(scan name text)
    file(WRITE ${WORK}/${name}.txt "${text}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SANE_CONFIG_DIR=${WORK}/sane
                            ${CLI} scan ${WORK}/${name}.txt --appdir ${WORK}/app
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(rc ${rc} PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

# The page turned on its side and saved under another name.
scan(side "open ${WORK}/page.bmp\nrotate left\nsave ${WORK}/side.bmp\n")
if(NOT rc EQUAL 0 OR NOT out MATCHES "caption: SW Scan - side.SWN")
    message(FATAL_ERROR "turning the page: ${rc} ${out} ${err}")
endif()

set(back "open ${WORK}/side.bmp\nrotate right\ndpi 3OO\ndpi 240\ninterpret\nok\nreturn\n")
scan(back "${back}")
if(NOT rc EQUAL 0 OR NOT out MATCHES "dpi: \\?\ndpi: 240"
   OR NOT out MATCHES "summary: {\"Systems\": 3, \"Staves\": 6, \"Bars\": [0-9]+, \"Notes\": 6[0-9], \"Curves\": 0, \"Clefs\": 6"
   OR NOT out MATCHES "open: ${WORK}/side.SWN")
    message(FATAL_ERROR "interpreting the page turned back: ${rc} ${out} ${err}")
endif()
execute_process(COMMAND ${CLI} info ${WORK}/side.SWN OUTPUT_VARIABLE info RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT info MATCHES "\"staves\": 6" OR NOT info MATCHES "\"stave_size\": 0.400")
    message(FATAL_ERROR "info: ${info}")
endif()
file(READ ${WORK}/side.SWN first HEX)

# Again: the score is there. No keeps it and opens nothing; an unanswered
# question fails the script at its line.
scan(keep "open ${WORK}/side.bmp\nrotate right\ndpi 240\nanswer No\ninterpret\nreturn\n")
file(READ ${WORK}/side.SWN kept HEX)
if(NOT rc EQUAL 0 OR out MATCHES "summary:|open:" OR NOT err MATCHES "side.SWN already exists"
   OR NOT kept STREQUAL first OR EXISTS "${WORK}/Backup of side.SWB")
    message(FATAL_ERROR "keeping the score: ${rc} ${out} ${err}")
endif()
scan(unasked "open ${WORK}/side.bmp\nreinterpret\n")
if(rc EQUAL 0 OR NOT err MATCHES "unasked.txt:2: unanswered question")
    message(FATAL_ERROR "an unanswered question: ${rc} ${err}")
endif()
# Yes keeps the old one as Save does; cancelled from the summary, nothing opens.
scan(replace "open ${WORK}/side.bmp\nanswer Yes\nreinterpret\ncancel\nreturn\n")
if(NOT rc EQUAL 0 OR NOT out MATCHES "summary:" OR out MATCHES "open:"
   OR NOT EXISTS "${WORK}/Backup of side.SWB")
    message(FATAL_ERROR "replacing the score: ${rc} ${out} ${err}")
endif()

# Crops too small are refused; lines that make no sense fail and say where.
scan(small "open ${WORK}/page.bmp\ncrop 10 10 29 100\nabandon\nclear\n")
if(NOT rc EQUAL 0 OR NOT err MATCHES "message: Crop area too small"
   OR NOT out MATCHES "caption: SW Scan - page.SWN")
    message(FATAL_ERROR "a small crop: ${rc} ${out} ${err}")
endif()
scan(bad "# nothing open\nrotate left\n")
if(rc EQUAL 0 OR NOT err MATCHES "bad.txt:2: there is no picture to rotate")
    message(FATAL_ERROR "a bad line: ${rc} ${err}")
endif()

# SANE's test scanner: a black page scanned at 50 dots an inch, then a read
# that fails.
file(WRITE ${WORK}/sane/dll.conf "test\n")
file(WRITE ${WORK}/sane/test.conf "number_of_devices 1\ntest-picture \"Solid black\"\nbr_x 80.0\nbr_y 100.0\n")
scan(acquire "dpi 50\nacquire\nsave ${WORK}/scanned.bmp\n")
file(SIZE ${WORK}/scanned.bmp size)
if(NOT rc EQUAL 0 OR NOT out MATCHES "caption: SW Scan - Scanned.swn" OR size LESS 1000)
    message(FATAL_ERROR "acquiring: ${rc} ${out} ${err}")
endif()
file(WRITE ${WORK}/sane/test.conf "number_of_devices 1\nread-status-code \"SANE_STATUS_IO_ERROR\"\n")
scan(failing "acquire\n")
if(NOT rc EQUAL 0 OR NOT err MATCHES "message: Scan failure.")
    message(FATAL_ERROR "a failing scan: ${rc} ${out} ${err}")
endif()

# Engines that fail or never say DONE: message 5100, no score, and a result
# left by an earlier run is not converted.
foreach(kind failing silent)
    set(app ${WORK}/${kind}-app)
    file(MAKE_DIRECTORY ${app}/VELTRO/SCRAP)
    file(COPY ${WORK}/app/VELTRO/SCRAP/OMRout.mro DESTINATION ${app}/VELTRO/SCRAP)
    if(kind STREQUAL "failing")
        file(WRITE ${WORK}/veltro "#!/bin/sh\necho 'PROGRESS 0 50'\necho DONE\nexit 1\n")
    else()
        file(WRITE ${WORK}/veltro "#!/bin/sh\necho 'PROGRESS 0 100'\nexit 0\n")
    endif()
    file(COPY ${WORK}/veltro DESTINATION ${app}/VELTRO
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    file(WRITE ${WORK}/${kind}.txt "open ${WORK}/page.bmp\nsave ${WORK}/${kind}.bmp\ninterpret\nreturn\n")
    execute_process(COMMAND ${CLI} scan ${WORK}/${kind}.txt --appdir ${app}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT err MATCHES "message: The interpretation process has not signalled"
       OR out MATCHES "summary:|open:" OR EXISTS ${WORK}/${kind}.SWN
       OR EXISTS ${app}/VELTRO/SCRAP/OMRout.mro)
        message(FATAL_ERROR "a ${kind} engine: ${rc} ${out} ${err}")
    endif()
endforeach()
