# Changes a note, a line, a curve, a hairpin, a text, a key and a time
# signature of an empty two-stave system through their attribute dialogs (a
# click on the object, then `type ?`) and reads the saved file back. A
# disabled control fails the script, naming it.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/app)
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)

run_script(placed [=[
click 100 62
type b
key Space
answer Flats; 2; OK
action PlaceKeysignature
answer No
key Space
answer 3/4; OK
action PlaceTimeSignature
answer No
key Space
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
key Esc
mode Music
click 450 20
mode Text
type Allegro
key Enter
save ${WORK}/placed.swn
]=] 0)
set(EXAMPLE ${WORK}/placed.swn)
run_script(changed [=[
click 100 60
answer Dots=2; Stem=Up; Head Style=Diamond; OK
type ?
click 360 30
answer Line Thickness=3; Type=Dash; Segment=8; OK
type ?
click 160 28
answer Line thickness=4; Dotted=Yes; OK
type ?
click 301 100
answer Line thickness=5; OK
type ?
click 460 27
answer Text=Andante|extra; Boxed=Yes; OK
type ?
click 126 56
answer Sharps; 3; OK
type ?
click 156 60
answer 3/8; OK
type ?
save ${WORK}/changed.swn
]=] 0 --png ${WORK}/changed.png)

objects(changed.swn found)
string(JOIN "\n" found ${found})
# Stave 1, kind: the new values (note: crotchet, dots 2, stem up ... diamond head).
foreach(want "01 05:03 00 02 00 00 00 00 00 00 00 00 00 02" "01 01:03" "01 02:03 08"
             "01 0B:78 00 00 00 03 01 08" "01 11:3C 00 FB FF 05"
             "01 10:01 00 08 07 41 6E 64 61 6E 74 65")
    string(FIND "${found}" "${want}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the changed score lacks ${want}:\n${found}")
    endif()
endforeach()
set(byte "[0-9A-F][0-9A-F]")
string(REGEX MATCHALL "01 0C:04 ${byte} ${byte} ${byte} ${byte} ${byte} ${byte} 01" anchors
             "${found}")
list(LENGTH anchors n)
if(NOT n EQUAL 3)
    message(FATAL_ERROR "every anchor of the curve should be thick and dotted:\n${found}")
endif()

# A single unbeamed note has no principal beam to choose.
run_script(refused [=[
click 100 60
answer Principal Beam only=Principal beam only; OK
type ?
]=] 1)
string(FIND "${err}" "\"Principal Beam only\" is disabled" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the refusal should name the control: ${err}")
endif()

# expect_font(FILE SIZE): the score WORK/FILE has a Times New Roman font of SIZE points.
function(expect_font file size)
    dump_lines(${file} "Times New Roman +[0-9]+ " fonts)
    if(NOT fonts MATCHES "Times New Roman +${size} ")
        message(FATAL_ERROR "${file} should have the favourite's font (${size} points): ${fonts}")
    endif()
endfunction()

# The text menu's "Choose from favourite fonts" is a radio list of the
# favourites: a click on one closes it and the text takes its font (Title, 30).
set(EXAMPLE ${WORK}/changed.swn)
run_script(favourite [=[
answer Choose from favourite fonts
answer Title
click 460 27 Right
save ${WORK}/favourite.swn
]=] 0)
expect_font(favourite.swn 30)

# Text mode's "Choose from favourite fonts" picks a favourite by its use; the
# text typed next is in that font (Attributions, 14).
run_script(textfont [=[
click 450 140
mode Text
answer Attributions
action tbFavFonts
type Largo
key Enter
save ${WORK}/textfont.swn
]=] 0)
expect_font(textfont.swn 14)
