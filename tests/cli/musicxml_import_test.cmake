# convert IN.musicxml|IN.mxl to a score, a page and a MIDI file: the imported
# notes are the file's notes when played back; a damaged file says where and
# writes nothing.
include(${CMAKE_CURRENT_LIST_DIR}/ScriptCommon.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/features.swn
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/features.swn)
    message(FATAL_ERROR "import to .swn: ${rc} ${err}")
endif()
execute_process(COMMAND ${CLI} info ${WORK}/features.swn OUTPUT_VARIABLE info RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT info MATCHES "\"staves\": *6")
    message(FATAL_ERROR "the imported score: ${info}")
endif()
execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/features.png --page 1 RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "import to .png: ${rc}")
endif()

# Played back, the score sounds the file's notes: every pitch as often, ties
# sounding once, grace notes not played.
execute_process(COMMAND ${CLI} convert ${EXAMPLE} ${WORK}/features.mid --no-repeats
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "import to .mid: ${rc} ${err}")
endif()
file(WRITE ${WORK}/compare.py [=[
import sys, mido, xml.etree.ElementTree as ET
steps = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}
written = []
for part in ET.parse(sys.argv[1]).iter('part'):
    # Playback sounds an octave clef's notes where the plain clef puts them.
    octave = {}
    for e in part.iter():
        if e.tag == 'clef':
            octave[e.get('number', '1')] = int(e.findtext('clef-octave-change') or 0)
        if e.tag != 'note':
            continue
        p = e.find('pitch')
        if p is None or e.find('grace') is not None:
            continue
        if any(t.get('type') == 'stop' for t in e.findall('tie')):
            continue
        shift = -12 * octave.get(e.findtext('staff') or '1', 0)
        written.append(12 * (int(p.findtext('octave')) + 1) + steps[p.findtext('step')] +
                       int(p.findtext('alter') or 0) + shift)
played = [m.note for t in mido.MidiFile(sys.argv[2]).tracks for m in t
          if m.type == 'note_on' and m.velocity > 0]
if sorted(written) != sorted(played):
    sys.exit('written %s, played %s' % (sorted(written), sorted(played)))
]=])
execute_process(COMMAND ${PYTHON} ${WORK}/compare.py ${EXAMPLE} ${WORK}/features.mid
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the MIDI file does not play the file's notes: ${err}")
endif()

# Pieces written by other programs (the W3C MusicXML examples, beside their
# licence note): each imports, draws a page and plays the file's notes.
get_filename_component(data ${EXAMPLE} DIRECTORY)
foreach(piece chopin-prelude apres-un-reve)
    execute_process(COMMAND ${CLI} convert ${data}/w3c/${piece}.musicxml ${WORK}/${piece}.mid
                            --no-repeats RESULT_VARIABLE rc ERROR_VARIABLE err)
    execute_process(COMMAND ${CLI} convert ${data}/w3c/${piece}.musicxml ${WORK}/${piece}.png
                    RESULT_VARIABLE drawn)
    if(NOT rc EQUAL 0 OR NOT drawn EQUAL 0)
        message(FATAL_ERROR "${piece}: ${rc} ${drawn} ${err}")
    endif()
    execute_process(COMMAND ${PYTHON} ${WORK}/compare.py ${data}/w3c/${piece}.musicxml
                            ${WORK}/${piece}.mid RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${piece} does not play the file's notes: ${err}")
    endif()
endforeach()

# The compressed container, its root file named by META-INF/container.xml.
file(MAKE_DIRECTORY ${WORK}/zip/META-INF ${WORK}/zip/music)
file(WRITE ${WORK}/zip/META-INF/container.xml
     "<container><rootfiles><rootfile full-path=\"music/f.xml\"/></rootfiles></container>")
file(COPY_FILE ${EXAMPLE} ${WORK}/zip/music/f.xml)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${WORK}/features.mxl --format=zip
                        META-INF music WORKING_DIRECTORY ${WORK}/zip)
execute_process(COMMAND ${CLI} convert ${WORK}/features.mxl ${WORK}/zipped.swn RESULT_VARIABLE rc)
file(SIZE ${WORK}/features.swn plain)
file(SIZE ${WORK}/zipped.swn zipped)
if(NOT rc EQUAL 0 OR NOT plain EQUAL zipped)
    message(FATAL_ERROR "the .mxl import: ${rc}, ${zipped} bytes against ${plain}")
endif()

# A broken file: one message naming the place, and no output.
file(READ ${EXAMPLE} xml)
string(REPLACE "<divisions>6</divisions>" "<divisions>-6</divisions>" broken "${xml}")
file(WRITE ${WORK}/broken.musicxml "${broken}")
execute_process(COMMAND ${CLI} convert ${WORK}/broken.musicxml ${WORK}/broken.swn
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS ${WORK}/broken.swn OR NOT err MATCHES "part P1, measure 1: divisions -6")
    message(FATAL_ERROR "a broken file: ${rc} ${err}")
endif()

# File > "Import MusicXML..." from a script: the edited score's save question
# (not saved), the file dialog, then the import saved as the untitled score it is.
file(WRITE ${WORK}/menu.txt "click 100 62\nkey C\nkey Space\nanswer No\nanswer ${EXAMPLE}\naction acImportMusicXml\nsave ${WORK}/menu.swn\n")
file(COPY_FILE ${CMAKE_CURRENT_LIST_DIR}/two-staves.swn ${WORK}/start.swn)
execute_process(COMMAND ${CLI} script ${WORK}/start.swn ${WORK}/menu.txt --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
execute_process(COMMAND ${CLI} info ${WORK}/menu.swn OUTPUT_VARIABLE menu)
execute_process(COMMAND ${CLI} info ${WORK}/features.swn OUTPUT_VARIABLE converted)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${CMAKE_CURRENT_LIST_DIR}/two-staves.swn
                        ${WORK}/start.swn RESULT_VARIABLE touched)
if(NOT rc EQUAL 0 OR touched OR NOT menu STREQUAL converted)
    message(FATAL_ERROR "the menu's import: ${rc} ${err}\n${menu}\nagainst\n${converted}")
endif()
# A file it cannot import ends the script with the reason, and nothing is saved.
file(WRITE ${WORK}/menu-broken.txt "answer ${WORK}/broken.musicxml\naction acImportMusicXml\nsave ${WORK}/never.swn\n")
execute_process(COMMAND ${CLI} script ${WORK}/start.swn ${WORK}/menu-broken.txt --appdir ${WORK}/app
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS ${WORK}/never.swn OR NOT err MATCHES "divisions -6")
    message(FATAL_ERROR "a broken file from the menu: ${rc} ${err}")
endif()
