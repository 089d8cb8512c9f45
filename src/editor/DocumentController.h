// The document window's logic: the editor state, the one way the editing
// mode changes, what the window shows for each mode (tool bar, cursor,
// actions, guidance), the caption, and the life of the document from opening
// to the save question on closing.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/Options.h"
#include "app/Settings.h"
#include "core/Report.h"
#include "core/WarningBox.h"
#include "editor/Actions.h"
#include "editor/BagpipeDialog.h"
#include "editor/BarMaintenanceDialog.h"
#include "editor/BlockActionDialog.h"
#include "editor/Modes.h"
#include "editor/Navigation.h"
#include "editor/NoteDialogs.h"
#include "editor/Overlay.h"
#include "editor/PageSetup.h"
#include "editor/Palettes.h"
#include "editor/PdfPrint.h"
#include "editor/PopupMenus.h"
#include "editor/RandomTuneDialog.h"
#include "editor/ScoreEdit.h"
#include "editor/StaveAttributesDialog.h"
#include "editor/TransposeDialog.h"
#include "editor/Undo.h"
#include "editor/VerticalSpacingDialog.h"
#include "editor/dialogs/AttributeForm.h"
#include "editor/modes/BlockModes.h"
#include "editor/modes/ModeHandler.h"
#include "fileio/ScoreFile.h"
#include "layout/Beams.h"
#include "model/Score.h"

namespace sw {

class Host;
class PlayWindow;
class TextMeasurer;

// What the settings say that the editor needs.
struct EditorSettings {
    int level = 1;              // 1..4
    bool startUnlocked = true;  // a score opens with editing allowed
    bool fastCpu = false;
    bool backups = true;
    int lineWidth = 1, curveDepth = 2;
    int spacing = 3;
    int toolbarBits = 0x3FFFFF;
    PageData defaultPage;
    double defaultStaveSize = 0.3;
    int undoDepth = 100;
    bool metric = false;  // millimetres in the dialogs and messages
    int cursorType = 0, cursorThickness = 1;
    int scrollSpeed = 10;
    bool american = false;  // American names in reports
    bool naturalsInKeyChange = true;
    DebugOptions debug;
    bool emergencyLoading = false;  // ask which objects to leave out when opening
    bool dumpTools = false;         // the Dump item and Extended Properties
    bool staveLimits = false;       // Shift+Ctrl+F5 shows the current stave's MinY and MaxY
    bool rulers = false;            // the rulers beside the page are shown
    bool threeDot = true;           // notes take up to three dots, else one
    bool cClef = true;              // the clef key reaches the C clefs
    int neatenFactor = 500;         // thousandths: 0 spaced by time, 1000 equally
    int lcl = 80;                   // the width after a left end that compressing keeps
    FontDesc barFont{"Times New Roman", 9, kItalic, 0, 1};
};

// The screen as the controller reaches it.
class PageViewPort {
  public:
    virtual ~PageViewPort() = default;
    // Sizes the page picture for the score's page data; false (the user told)
    // when it cannot be made.
    virtual bool setUpPicture() = 0;
    virtual void showPage(int page) = 0;
    virtual void redrawPage() = 0;
    // The stave cursor changed (shown, hidden or moved): repaint it from the
    // controller's state, and scroll `point` into view when it is shown.
    virtual void showStaveCursor(bool shown) = 0;
    // The header (or footer) band over the washed-out page; false when it
    // cannot be made.
    virtual bool enterHeaderFooter(bool header) = 0;
    virtual void leaveHeaderFooter() = 0;
    virtual void openPreview() = 0;
    virtual void closePreview() = 0;
    // The score was laid out again: the page count may have changed.
    virtual void layoutChanged() {}
    // The mouse pointer goes to a point of the page picture (the focus
    // taken from the keyboard follows it).
    virtual void movePointerTo(int32_t /*x*/, int32_t /*y*/) {}
    // The page scrolls until a point of its picture is in view.
    virtual void makeVisible(int32_t /*x*/, int32_t /*y*/) {}
    // What a placing mode shows over the page changed (UiState::overlay).
    virtual void overlayChanged() {}
    // The marked block as a picture file (asked for) or on the clipboard.
    virtual void exportBox(const PixelBox& /*box*/, bool /*clipboard*/) {}
    // The pages to the PDF printer, as the user asked (no system printer).
    virtual void printToPdf(const PdfPrintRequest& /*request*/) {}
};

// What the main window does for a document. Each call has a harmless
// default, so a document without a main window (the command line, tests)
// needs nothing more than this base.
class DocumentServices {
  public:
    virtual ~DocumentServices() = default;
    virtual void addToHistory(const std::string& /*path*/) {}
    virtual std::string fileDirectory() const { return {}; }
    virtual void setFileDirectory(const std::string& /*dir*/) {}
    // The main window's status line and mode panel follow the editor.
    virtual void refreshStatus() {}
    virtual void enableBackupTimer(bool /*on*/) {}
    // The printer last used with this program.
    virtual std::string lastPrinter() const { return {}; }
    virtual void setLastPrinter(const std::string& /*name*/) {}
    // The units choice of the page dialogs, kept for the next time.
    virtual void setMetric(bool /*metric*/) {}
    // A count kept for the whole run (the header/footer reminders); null
    // when the document keeps its own.
    virtual int* headerFooterReminders() { return nullptr; }
    // The rulers shown or hidden, kept for the next time.
    virtual void setRulers(bool /*shown*/) {}
    // The report window, for what a repaired older file had wrong.
    virtual ReportSink* report() { return nullptr; }
    // The bar numbering frequency (0 until chosen), kept for the whole run
    // and never saved; null when the document keeps its own.
    virtual int* numberingFrequency() { return nullptr; }
    // The note spacing chosen in "Neaten Stave(s)", kept for the next time.
    virtual void setNeatenFactor(int /*thousandths*/) {}
    // The bar-number font chosen in "Bar Maintenance", kept for the next time.
    virtual void setBarFont(const FontDesc& /*font*/) {}
    // The one play window of the run; null where there is none.
    virtual PlayWindow* playWindow() { return nullptr; }
    // The program's settings the options window edits (null: no options
    // window), whether the program's folder is read-only, and what OK changed
    // for the main window to apply (tool bars, backup timer, scroll bars).
    virtual Settings* programSettings() { return nullptr; }
    virtual bool programFolderReadOnly() const { return false; }
    virtual void optionsChanged(const OptionsOutcome& /*outcome*/) {}
    // Where the options window finds the machine's facts.
    virtual OptionsPlatform optionsPlatform() { return {}; }
};

// The dialogs a document's commands open. Each works on a model the
// controller made and says whether it was accepted.
class DocumentDialogs {
  public:
    virtual ~DocumentDialogs() = default;
    // The header/footer chooser: which area to edit, or None.
    virtual HeaderFooterChooser::Choice chooseHeaderFooter(const HeaderFooterChooser& c) = 0;
    // The symbol palette and the shapes palette: true when a choice closed them.
    virtual bool chooseSymbol(SymbolPaletteModel& model) = 0;
    virtual bool chooseShape(ShapePaletteModel& model) = 0;
    // "Choose from any font": true when OK closed it with `font` the choice.
    virtual bool chooseFont(FontDesc& /*font*/) { return false; }
    // The favourite fonts window in select mode: the chosen font, if any.
    virtual std::optional<FontDesc> selectFavourite() = 0;
    // Page setup on a copy of the page and the units choice; true when OK
    // closed it with `page` the result (the units are kept either way).
    virtual bool pageSetup(PageData& page, bool& metric) = 0;
    // Set Stave Size; the accepted size, or nothing when cancelled.
    virtual std::optional<double> staveSize(StaveSizeDialogModel& model, const Score& score) = 0;
    // The "Note Alignment Tool" and "Tremulo Beams": true when OK closed them.
    virtual bool noteAlignment(NoteAlignmentModel& model) = 0;
    virtual bool tremoloBeams(TremoloBeamsModel& model) = 0;
    virtual bool verticalSpacing(VerticalSpacingModel& model) = 0;
    // "Bar Maintenance": true when OK closed it.
    virtual bool barMaintenance(BarMaintenanceModel& model) = 0;
    // A right-button menu at the mouse: the chosen item, nothing when it was
    // closed without one.
    virtual std::optional<int> popup(const MenuModel& /*menu*/) { return std::nullopt; }
    // An attribute dialog ("Clef Attributes", "Note Attributes", …, "Object
    // type selection") over its form: true when OK (or a closing choice) closed it.
    virtual bool showForm(AttributeForm& /*form*/) { return false; }
    // "Object type selection": the kind chosen among those present, nothing on Cancel.
    std::optional<int> chooseObjectTypes(const std::vector<int>& kindsPresent);
    // "Neaten Stave(s)": true when OK closed it.
    virtual bool neatenStaves(NeatenDialogModel& /*model*/) { return false; }
    // "Transposing": true when "Do it!" closed it.
    virtual bool transpose(TransposeDialogModel& /*model*/) { return false; }
    // "Scottish Pipes": true when OK closed it.
    virtual bool scottishPipes(PipesDialogModel& /*model*/) { return false; }
    // "Random Tune Generator": true when OK closed it.
    virtual bool randomTune(RandomTuneDialogModel& /*model*/) { return false; }
    // "General Midi Instruments": program 0..127 (128 silence), -1 "(Not
    // allocated)"; nothing when cancelled.
    virtual std::optional<int> chooseInstrument(int current) = 0;
    // The options window on `model`; true on OK with valid values.
    virtual bool options(OptionsModel& /*model*/) { return false; }
    // "Temperament": 0 equal … 4 bagpipe tuning; nothing when cancelled.
    virtual std::optional<int> chooseTemperament(int current) = 0;
    // The stave attributes dialog; true on OK.
    virtual bool staveAttributes(StaveAttributesModel& model) = 0;
    // "Block Mode Action": false when it closed without a choice.
    virtual bool blockAction(BlockActionModel& /*model*/) { return false; }
};

struct ActionState {
    bool enabled = true;
    bool checked = false;
    std::string caption;  // empty: the window's own
    std::string hint;
};

// The settings of the placing tools, as their tool bars show them.
struct PlacementTools {
    int lineThickness = 1;     // 0..5
    int lineStyle = 0;         // 0 solid, 1 dashed, 2 wavy
    int dotSpacing = 5;        // 3..20, the dash and gap lengths files keep
    int curveThickness = 2;    // 0..5
    int curveStyle = 0;        // bit 0 dotted, bit 1 editorial
    int hairpinThickness = 1;  // 0..3
    // Text: the flags of the text being typed and its font.
    bool transposable = false, immobile = false, boxed = false;
    FontDesc textFont{"Times New Roman", 12, 0, 0, 1};
    bool lyric = false;        // the lyric button is down
    bool symbolHints = false;  // the symbol palette names its glyphs
};
inline constexpr int kTextSizes[] = {6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                     18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 40, 50};

// Everything the window shows that depends on the editor's state.
struct UiState {
    ToolBarId toolbar = ToolBarId::None;
    std::string emptyBarText;
    CursorShape cursor = CursorShape::Default;
    std::string caption;
    std::string guidance;  // the hint of the page area; empty when off
    // The object drawn in the "Edit" colour under the mouse; -1 for none.
    int highlightStave = -1, highlightObject = -1;
    // The vertical line a compression shows how far the music can go to.
    struct Hairline {
        int32_t x, top, bottom;
    };
    std::optional<Hairline> hairline;
    std::map<std::string, ActionState> actions;
    PlacementTools tools;
    PlacingOverlay overlay;
    std::string selectingLabel;  // LabNobjects
    const ActionState& action(const std::string& name) const;
    const ActionState& action(Action a) const { return action(ActionName(a)); }
};

class DocumentController {
  public:
    DocumentController(Score& score, const EditorSettings& settings, Host& host,
                       WarningBox& warnings, UndoRing& undo, PageViewPort& view,
                       DocumentServices& services, DocumentDialogs& dialogs,
                       const TextMeasurer& measurer);

    // --- commands, as the menus, tool bars and keys give them
    // Runs an action as its menu item would. False when the controller has
    // no part in it (the window's own: printing, pictures, closing), or it
    // is not available now.
    bool run(Action a);
    bool canRun(Action a) const;
    // "Print" with no printer of the system's: the PDF printer asks for the
    // file and for vector or raster pages, then hands them to the view.
    void printToPdf();
    // A key press ("Ctrl+Z", "Left", "Alt+PgDown"): its action, or the
    // cursor keys. True when something used the key.
    bool key(const std::string& key);
    // The window's halves of a key: the press runs its action or the rows
    // that act at once; the release the rows that wait for it, and only
    // for a key whose press this document saw (the menu guard). key() is
    // a press and its release.
    bool keyDown(const std::string& key);
    bool keyUp(const std::string& key);
    // A printable character typed (the text modes take any character; the
    // others go by its key). True when the mode used it.
    bool typeCharacter(char32_t c);
    // The command a key runs now: typing a text takes Ctrl+S, Ctrl+C and
    // Ctrl+N for characters of its own.
    std::optional<Action> shortcut(const std::string& key) const;
    // A modifier key alone went down or up, leaving `now` held. True when
    // the pointer's shape changed with it.
    bool modifiersChanged(KeyModifiers now);
    // The shift state of the last key event.
    const KeyModifiers& modifiers() const { return modifiers_; }
    // A menu opened: the keys held before it are forgotten, so the release
    // of the key that leaves the menu edits nothing.
    void menuOpened() { keysDown_.clear(); }
    // The pointer over the page, given to the current mode.
    PointerResult pointer(const PointerEvent& e);
    const EditorSettings& settings() const { return settings_; }
    // The units choice of the page dialogs, for this document and the next.
    void setMetric(bool metric);

    // --- the editor state
    int mode() const { return mode_; }
    int previousMode() const { return previous_; }
    int32_t cursorX() const { return cursorX_; }
    bool modified() const { return modified_; }
    bool editingUnlocked() const { return unlocked_; }
    bool provisionalActive() const { return provisional_; }
    void setProvisional(bool active, bool note = false);
    // The provisional object (in no stave slot until it is completed) and its
    // stave; null when there is none.
    const ScoreObject* pendingObject() const { return pending_ ? &*pending_ : nullptr; }
    int pendingStave() const { return pendingStave_; }
    // What a new note starts from: the value of the last note entered, the
    // stem chosen with the stem keys (never a resolved one).
    const NoteData& noteTemplate() const { return noteTemplate_; }
    int shapeKind() const { return shapeKind_; }
    const std::string& documentName() const { return name_; }
    Score& score() { return score_; }
    const UiState& ui() const { return ui_; }
    int page() const { return page_; }

    // --- the document's life
    enum class Start { File, Template, Empty, Import };  // Import: a MusicXML file, untitled
    // The deferred start: opens the file or template (or builds an empty
    // score) and enters Music. False when the window must close.
    bool start(Start how, const std::string& path, const std::string& name, bool recovering);
    // The save question of a modified document. True when the window may close.
    bool queryClose();
    // File > "Import MusicXML..." in a window that stands for the main window
    // too (a script's): this score closes as Close would, the file dialog asks
    // for the MusicXML file and it comes in here as a new untitled score.
    // False when this score is kept or the dialog cancelled; when the file
    // cannot be imported, false with the score empty (the window must close).
    bool closeAndImport(bool& failed);
    bool save();
    bool saveAs();
    void setModified(bool modified);

    // --- score commands (each one edit, undone by one Undo)
    void pageLayout();
    void staveSize();
    void undo();
    // Works out again which staves fit on which pages.
    void repaginate();
    // Stems and alignment (Tools menu) on the current stave.
    void optimiseStems();
    void noteAlignment();
    // Adjust vertical stave spacing: the current page's systems respaced
    // after the dialog's OK.
    void verticalSpacing();
    // The three merge commands: the merge point checked, the file asked for,
    // merged as one edit; merging at the end tells the page total.
    void mergeFile(Action a);
    // Reverse Stem, Beam to previous, Unbeam, Flat beam and Make Triplet on
    // the focus note.
    void focusNoteCommand(Action a);
    // The tremolo beam of two selected notes, through its dialog.
    void tremoloBeams(const std::vector<NoteRef>& selection);
    // Ctrl+Alt+F5: the bars of the whole score renumbered from 1, the
    // numbering frequency becoming 1 when none has been chosen.
    void renumberBars();
    // The last bar of the current system to the next one, or its first bar
    // to the previous one; `alongside` changes the score in the same Undo
    // step. True when the bar moved.
    bool moveBar(bool down, const std::function<void(Score&)>& alongside = {});
    // "Bar Maintenance": the numbering settings, then its operation.
    void barMaintenance();
    // The page of bar n, its system's top stave current, the cursor just
    // inside the bar; a number out of range goes to the first or last bar
    // with a warning.
    void gotoBar(int n);
    // The bar under the cursor deleted on every stave of its system (with
    // `alongside`, as above).
    bool deleteBar(const std::function<void(Score&)>& alongside);
    // The "Bar Maintenance" dialog's renumbering from `first` (1..32767)
    // with the place (0..3) and frequency it chose; `changed`: a numbering
    // setting changed there, so the page is drawn again and the score is
    // modified even when no number moves. True when the bars were numbered.
    bool refreshBarNumbers(int first, bool changed, int place, int frequency);
    int numberingFrequency() const;
    // 1, 2, 5 or 10; anything else is ignored.
    void setNumberingFrequency(int frequency);
    // Justify system, and the neaten commands on the current system, page or
    // the whole score with the stored spacing; "Neaten Music" asks for both.
    void justifySystem();
    void neaten(NeatenScope scope);
    void neatenDialog();
    // "Transpose...": the current stave, its system's or the whole score's
    // music moved by the dialog's interval, with its clef and stem choices.
    void transpose();
    // "Format for GHB" after the "Scottish Pipes" dialog.
    void formatForPipes();
    // Shift+Ctrl+M: a random tune on the current stave when it holds nothing.
    void randomTune();
    void showOptions();
    // Every random draw of the document comes from here: seeded from the
    // clock unless a script or a test says otherwise.
    void seedRandom(uint32_t seed) { ownRandom_.seed(seed), random_ = &ownRandom_; }
    void setRandomSource(RandomSource& source) { random_ = &source; }
    // Lays out and redraws what the last edits touched.
    void afterEdits();
    // Lays the whole score out again (fonts or page data changed outside an edit).
    void layOutAgain();

    // --- modes
    void setEditMode(int mode);
    // Back to the header/footer view after a transient mode, else Music.
    void returnFromTransient();
    // The mode commands (Music, Text, Lines, …, Preview, Lock/unlock), as
    // their menu items give them; run() passes them here.
    void modeCommand(Action a);
    // A mouse-up in the header or footer view, and a click outside its band.
    void headerFooterMouseUp();
    void clickOutsideWorkingArea();

    // --- where input goes, and moving about the score
    void setCurrentStave(int s);
    // Shows page n with its first stave current; nothing for a page that
    // does not exist.
    void showPage(int n);
    void nextPage();
    void previousPage();
    void gotoPage();
    void gotoSystem();
    void gotoStave();
    void top();
    void end();
    void pageTop();
    void pageBottom();
    // "Repaginate": the systems laid out on pages again, each system too tall
    // for a page reported, and the current stave's page shown.
    void setCursorX(int32_t x) { cursorX_ = x; }
    // The cursor keys in Music without an object in hand: Left/Right by 1
    // (10 with Ctrl), Home, End, Ctrl+Home, Up/Down and PgUp/PgDn to the
    // neighbouring stave of the page, Ctrl+PgUp/PgDn to the neighbouring
    // system (wrapping). True when the key was used.
    enum class CursorKey { Left, Right, Home, End, Up, Down, PageUp, PageDown };
    bool cursorKey(CursorKey key, bool ctrl);
    // The stave cursor, shown or hidden; asking for the state it is in does nothing.
    void setCursorShown(bool shown);
    bool cursorShown() const { return cursorShown_; }
    // The strokes to draw for the cursor now (none when it is hidden or may
    // not be drawn).
    std::vector<Segment> cursorStrokes() const;
    const AttachRange& attachRange() const { return attach_; }

    // --- the placing tools' buttons and boxes (values out of range are
    // brought into it)
    void setLineThickness(int t);
    void setLineStyle(int style);
    void setDotSpacing(int d);
    void setCurveThickness(int t);
    void setCurveStyle(int bits);
    void setHairpinThickness(int t);
    void setTextFlags(bool transposable, bool immobile, bool boxed);
    void setTextFont(const FontDesc& font);

    // --- the provisional object
    // A note letter (0 = A … 6 = G) typed in Music, Shift making it longer.
    void noteLetter(int step, bool shift);
    void restKey(bool shift);
    void barlineKey();
    void clefKey();
    // Template value 0..7; a provisional note takes it at once.
    void valueKey(int value);
    // Writes the provisional object into the score (with Space, moving the
    // cursor past it). False when it could not go in and stays provisional.
    bool completeProvisional(bool spaceOn);
    void abandonProvisional();
    // Completes any provisional object before a move elsewhere; false (the
    // move must not happen) when it stays.
    bool settleProvisional();
    // Moves the provisional object to x with the cursor, or by an octave.
    void moveProvisionalTo(int32_t x);
    void provisionalOctave(bool up);
    // Deletes the focus object (the Del key and the Delete items).
    void deleteFocus();
    // The right button in Music: the menu of the object, stave or page under
    // the mouse, and its chosen item carried out; an action the window must
    // run itself comes back.
    std::optional<Action> popupMenu(int32_t x, int32_t y);
    // The Add menu's clef, key and time signature: a provisional object at
    // the cursor, its dialog's values written into it on OK (Cancel leaves
    // it in hand as it was).
    void placeClef();
    void placeKeysig();
    void placeTimesig();
    // The attribute dialog of the object in hand, else of the object under the
    // mouse (`?`, "Properties", a right click on the object in hand).
    void properties();
    // The object in hand's attributes (the tool button).
    void attributes();
    // "Legs" of the line under the mouse.
    void lineLegs();
    // The attribute dialog over a list of objects (a block's, or one): the
    // kind asked for when several are listed; OK is one edit. True when
    // something changed.
    bool editAttributes(std::vector<NoteRef> list, bool legsOnly = false);
    // The text pop-up's font items: a favourite from the radio list, or any font.
    bool chooseTextFont(int s, int i, bool favourite);
    // Ins: the Add menu at the mouse, its chosen item run.
    void addMenu();
    // Shift+F5 and Redraw system: the stave (or its system) laid out and
    // drawn afresh, for a picture that has gone stale.
    void redrawStaves(bool system);
    void showStaveLimits();

    // --- the mouse over the page
    // The object under the mouse is found, highlighted and made the focus,
    // and the pointer's shape follows. True when the highlight changed.
    bool mouseMove(int32_t x, int32_t y, bool ctrl);
    bool mouseLeave();
    int focusStave() const { return focusStave_; }
    int focusObject() const { return focusObject_; }
    bool objectSelected() const { return objectSelected_; }

    // --- blocks
    const BlockState& block() const { return block_; }
    DocumentDialogs& dialogs() { return dialogs_; }
    // The selection tool bar's commands; false when there is no selection.
    bool selectionCommand(Action a);

    // --- guidance
    void showGuidance(int messageId);
    void hintsOff();
    // The novice timer (level 1): the guidance for what the user has done so far.
    void noviceTick();
    void setUserLevel(int level);

  private:
    // F2, the range commands and the play window's buttons.
    bool playCommand(Action a);
    // File > Export MusicXML.
    void exportMusicXml();
    FileDialogSpec saveDialog(const std::string& title, const std::string& filter,
                              const std::string& extension) const;
    // The menu shown and the index of the enabled item chosen from it.
    std::optional<std::size_t> choose(const MenuModel& menu);
    // A goto box: asks for a number, clamps it to 1..last and warns (levels
    // 1 and 2) when it had to; nothing on Cancel or text that is no number.
    std::optional<int> askNumber(int caption, int prompt, int last, const char* upper,
                                 const char* lower);
    void refreshUi();
    // The focus note's commands follow the object under the mouse.
    void refreshNoteActions();
    bool openFile(const std::string& path, bool asTemplate);
    bool importFile(const std::string& path);
    void newScore();
    SaveResult writeScore(const std::string& path);
    void afterLoad(bool asTemplate);
    std::string caption() const;

    EditContext editContext();
    // Starts a provisional object of `kind` on the current stave, or re-uses
    // the one there is; false (the user told) when the stave is full.
    bool startProvisional(int kind);
    // The provisional object changed: its geometry and its picture.
    void pendingChanged();
    // A command that starts something else while an object is provisional.
    bool refuseWhileProvisional();
    bool signatureAllowed();
    // The dialog of the object in hand, its values written into it on OK.
    bool provisionalAttributes();

    Score& score_;
    EditorSettings settings_;
    Host& host_;
    WarningBox& warnings_;
    UndoRing& undo_;
    PageViewPort& view_;
    DocumentServices& services_;
    DocumentDialogs& dialogs_;
    const TextMeasurer& measurer_;
    UiState ui_;

    int mode_ = kModeNothing, previous_ = kModeNothing;
    int32_t cursorX_ = 0;
    bool modified_ = false;
    SeededRandom ownRandom_;
    RandomSource* random_ = &ownRandom_;
    bool unlocked_ = true;
    bool provisional_ = false, provisionalNote_ = false;
    bool startedEmpty_ = false;
    int shapeKind_ = 0;
    bool shapeWhite_ = false;
    int headerFooterMouseUps_ = 0;
    std::string name_, path_;
    int page_ = 1;
    bool cursorShown_ = false;
    int focusStave_ = -1, focusObject_ = -1;
    bool objectSelected_ = false;
    AttachRange attach_;
    int ownFrequency_ = 0;  // the numbering frequency without a main window
    // The view that the header/footer view replaced.
    int savedStave_ = 1, savedPage_ = 1;
    int32_t savedCursorX_ = 0;
    DirtyStaves dirty_;
    std::optional<ScoreObject> pending_;
    int pendingStave_ = 0;
    NoteData noteTemplate_{};
    // The object taken by the mouse in Moving object.
    struct Drag {
        int stave = 0, object = 0;
        int32_t startX = 0, startY = 0;  // the object's place before the drag
        int32_t mouseX = 0, mouseY = 0;  // the last mouse point
        int32_t lineX = 0, lineY = 0;    // a line's place before one axis is kept
        int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    } drag_;
    BlockState block_;
    std::array<std::unique_ptr<ModeHandler>, kModeCount> handlers_;
    // The keys held, by name without modifiers: the release acts with the
    // modifiers of the press.
    std::map<std::string, std::string> keysDown_;
    KeyModifiers modifiers_;
    // The last mouse point over the page, for keys that act where it is.
    bool pointerIn_ = false;
    int32_t pointerX_ = 0, pointerY_ = 0;

    friend class ModeHandler;
    friend class MusicMode;
    friend class HeaderFooterMode;
    friend class PreviewMode;
    friend class TextMode;
    friend class SymbolMode;
    friend struct Placing;
    friend struct StaveActions;
    friend class LineMode;
    friend class CurveMode;
    friend class HairpinMode;
    friend class DrawingMode;
    friend class MovingObjectMode;
    friend struct MusicKeys;
    friend class MovestaveMode;
    friend class CompressingMode;
    friend struct BlockOps;
    friend void StartSelecting(DocumentController& d, int s, int i);
    friend void StartDrag(DocumentController& d, int32_t x, int32_t y);
    friend void RedrawOnReturn(DocumentController& d, int to);
};

// What the settings file says, as the editor needs it.
EditorSettings EditorSettingsFrom(const Settings& settings);
// The values the options window edits, taken again after its OK.
void TakeOptionSettings(EditorSettings& editor, const Settings& settings);

// The main window's mode panel for the document's mode.
std::string ModePanelText(int mode);

// The file dialog of File > "Import MusicXML...".
FileDialogSpec MusicXmlImportDialog(const std::string& directory);

}  // namespace sw
