# The options window from a script with a private application folder: OK
# writes the settings file when the script ends and the score tab reaches the
# saved score; a stave size outside the range is asked again; Cancel keeps
# both, but "Reinstate warnings" acts at once.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/app/STAFWR5.INI "[User]\nLevel=3\nBoring1=010\n")

include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

function(info swn out)
    execute_process(COMMAND ${CLI} info ${WORK}/${swn} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "no information on ${swn}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

run_script(cancel "answer Reinstate warnings; British; Pulse=Quaver; sebackupmins=25; Cancel\naction acOptions\n"
           0 -o ${WORK}/cancel.swn)
file(READ ${WORK}/app/STAFWR5.INI ini)
if(ini MATCHES "Backupinterval=25" OR ini MATCHES "Boring1=010")
    message(FATAL_ERROR "Cancel kept the options or lost the reinstated warnings:\n${ini}")
endif()
info(cancel.swn text)
if(NOT text MATCHES "\"pulse\": 3,")
    message(FATAL_ERROR "Cancel changed the score:\n${text}")
endif()

run_script(ok "answer British; Pulse=Quaver; Spacing=Wide; sefirstpage=4; sebackupmins=25; cb13=No; American; This Stave Size; OK
answer 0.05
answer 1/4
answer No
action acOptions
" 0 -o ${WORK}/ok.swn)
if(NOT err MATCHES "out of range")
    message(FATAL_ERROR "0.05 inch was not refused: ${err}")
endif()
file(READ ${WORK}/app/STAFWR5.INI ini)
foreach(want "Backupinterval=25" "Language=1" "Toolbar=4190207")
    if(NOT ini MATCHES "${want}")
        message(FATAL_ERROR "the settings lack ${want}:\n${ini}")
    endif()
endforeach()
info(ok.swn text)
foreach(want "\"pulse\": 4," "\"spacing\": 4," "\"page1\": 4," "\"stave_size\": 0.250,")
    if(NOT text MATCHES "${want}")
        message(FATAL_ERROR "the saved score lacks ${want}:\n${text}")
    endif()
endforeach()

# A value out of a control's range is refused and the script says so.
run_script(bad "answer sebackupmins=61; OK\naction acOptions\n" 1)
