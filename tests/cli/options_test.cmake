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

# The buttons that act at once, from a script: a folder made, renamed and
# used for sound files, the edit colour, the default instrument and the
# startup page, each through the dialog or box it opens; the information
# window's lines; the disabled screen resolution button.
file(MAKE_DIRECTORY ${WORK}/folders)
run_script(atonce "answer ShellTree1=${WORK}/folders; New; Rename; Sound; ShellTree1=${WORK}/folders/Tunes2; Use; Edit Colour; C&hange...; Startup Page Size; Docum&ent Statistics; F&onts Information; Cancel
answer Tunes
answer ${WORK}/folders/Tunes2
answer 0x00FF00
answer 41 Violin; OK
answer Top margin=1; OK
action acOptions
" 0)
if(NOT IS_DIRECTORY ${WORK}/folders/Tunes2 OR EXISTS ${WORK}/folders/Tunes)
    message(FATAL_ERROR "the folder was not made and renamed")
endif()
if(NOT err MATCHES "message: Staves: 2 " OR NOT err MATCHES "use no fonts")
    message(FATAL_ERROR "no information window: ${err}")
endif()
file(READ ${WORK}/app/STAFWR5.INI ini)
foreach(want "MidiDirectory=${WORK}/folders/Tunes2" "Edit=65280")
    if(NOT ini MATCHES "${want}")
        message(FATAL_ERROR "acting at once, the settings lack ${want}:\n${ini}")
    endif()
endforeach()
# Cancel dropped the instrument and the startup page.
if(ini MATCHES "Sound=40" OR ini MATCHES "Top=1000")
    message(FATAL_ERROR "Cancel kept the dialog's values:\n${ini}")
endif()
run_script(resolution "answer Change Screen Resolution; OK\naction acOptions\n" 1)
