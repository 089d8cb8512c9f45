# convert IN.swn OUT.pdf writes vector pages: a PDF reader finds the title and
# the lyrics as text, in fonts the file embeds; the SVG of a page is text too.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/twinkle.pdf RESULT_VARIABLE rc
                ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "convert to .pdf failed: ${rc} ${err}")
endif()
execute_process(COMMAND ${PDFTOTEXT} ${WORK}/twinkle.pdf - OUTPUT_VARIABLE text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT text MATCHES "Twinkle, Twinkle, Little Star"
   OR NOT text MATCHES "Twin- kle" OR NOT text MATCHES "Jane Taylor")
    message(FATAL_ERROR "title or lyrics not found as text: ${text}")
endif()
execute_process(COMMAND ${PDFFONTS} ${WORK}/twinkle.pdf OUTPUT_VARIABLE fonts RESULT_VARIABLE rc)
string(REGEX MATCHALL "\n[A-Za-z+-]+ +[^\n]* yes +(yes|no) +(yes|no) " embedded "${fonts}")
list(LENGTH embedded n)
if(NOT rc EQUAL 0 OR n LESS 2 OR NOT fonts MATCHES "LiberationSerif-Bold")
    message(FATAL_ERROR "fonts not embedded: ${fonts}")
endif()
# The 1-bit PDF has no text at all.
execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/raster.pdf --raster --pages 1-1
                RESULT_VARIABLE rc)
execute_process(COMMAND ${PDFTOTEXT} ${WORK}/raster.pdf - OUTPUT_VARIABLE text)
if(NOT rc EQUAL 0 OR text MATCHES "Twinkle")
    message(FATAL_ERROR "the raster PDF must stay pictures: ${rc} ${text}")
endif()
# Print with no printer of the system's: the PDF printer asks for the file, then
# how the pages are drawn; vector unless the user picks the print pictures.
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)
run_script(print "answer ${WORK}/printed.pdf
answer OK
action acPrint
answer ${WORK}/pictures.pdf
answer Pages as=Raster (1-bit print pictures); OK
action acPrint
" 0)
execute_process(COMMAND ${PDFTOTEXT} ${WORK}/printed.pdf - OUTPUT_VARIABLE text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT text MATCHES "Twinkle, Twinkle, Little Star")
    message(FATAL_ERROR "the printed PDF is not the vector one: ${text} ${err}")
endif()
execute_process(COMMAND ${PDFTOTEXT} ${WORK}/pictures.pdf - OUTPUT_VARIABLE text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR text MATCHES "Twinkle" OR NOT EXISTS ${WORK}/pictures.pdf)
    message(FATAL_ERROR "the raster choice must print the pictures: ${rc} ${text} ${err}")
endif()
