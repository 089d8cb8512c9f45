# Enters a tune through `staffwright-cli script` on an empty two-stave
# system: clicks and letters, a bar line typed on stave 2 that lands on
# stave 1, its style chosen from its menu, and each Undo taking one step
# back.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
file(WRITE ${WORK}/tune.txt "
click 100 62
key C
key Space
key E
key Space
key G
key G
key Space
click 200 142
key /
key Enter
key Z
key Space
answer Double
click 200 62 right
save ${WORK}/full.swn
answer Yes
action acUndo
save ${WORK}/undo1.swn
answer Yes
action acUndo
save ${WORK}/undo2.swn
")
execute_process(COMMAND ${CLI} script ${EXAMPLE} ${WORK}/tune.txt --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the tune script failed (${rc}): ${err}")
endif()
function(expect_counts file want)
    execute_process(COMMAND ${CLI} info ${WORK}/${file} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
    string(REGEX MATCH "\"objects_per_stave\": \\[[0-9, ]*\\]" got "${out}")
    if(NOT rc EQUAL 0 OR NOT got STREQUAL "\"objects_per_stave\": [${want}]")
        message(FATAL_ERROR "${file}: ${got}, want [${want}]")
    endif()
endfunction()
# Three notes and the bar line on stave 1, the rest on stave 2.
expect_counts(full.swn "4, 1")
# The bar line's menu item is a step of its own.
expect_counts(undo1.swn "4, 1")
expect_counts(undo2.swn "4, 0")

# Ctrl+K through the Key Signature dialog, offered to the whole system.
file(WRITE ${WORK}/key.txt "
click 300 62
answer Flats; 3; OK
key Ctrl+K
answer Yes
key Enter
save ${WORK}/key.swn
")
execute_process(COMMAND ${CLI} script ${EXAMPLE} ${WORK}/key.txt --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the key script failed (${rc}): ${err}")
endif()
expect_counts(key.swn "1, 1")
