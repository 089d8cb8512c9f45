// The document window's commands: one `Action` each, with the name scripts
// and the window know it by, its menu caption and its keys. The window makes
// one menu action of each; the script runner finds them by name or key.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sw {

enum class Action : uint8_t {
    Save,
    SaveAs,
    SavePart,
    SaveAsTemplate,
    Print,
    PictureFile,
    Clipboard,
    Dump,
    MergeAfter,
    MergeBefore,
    MergeAtEnd,
    ExportMusicXml,
    Close,
    Exit,
    Undo,
    EnterMusic,
    TextMode,
    LineMode,
    CurveMode,
    HairpinMode,
    SymbolMode,
    ShapeMode,
    BlockMode,
    HeadFoot,
    Preview,
    ToggleEdit,
    Compress,
    Escape,
    Top,
    FirstPage,
    PrevPage,
    NextPage,
    LastPage,
    End,
    PageTop,
    PageBottom,
    GotoPage,
    GotoSystem,
    GotoStave,
    Repaginate,
    Rulers,
    PageLayout,
    StaveSize,
    Redraw,
    RedrawStave,
    RedrawSystem,
    VerticalSpacing,
    ExtendedProperties,
    // The attribute dialogs.
    Properties,
    Attributes,
    LineLegs,
    // Stems, beams and note alignment.
    OptimiseStems,
    NoteAlignment,
    ReverseStem,
    BeamToPrevious,
    Unbeam,
    FlatBeam,
    MakeTriplet,
    CrossStaveBeam,
    BeamTremolo,
    Triplets,
    DeleteFocus,
    // The Add menu: a provisional object through its dialog.
    AddMenu,
    PlaceClef,
    PlaceKeysig,
    PlaceTimesig,
    RenumberBars,
    // Spacing the music of systems.
    JustifyAll,
    NeatenSystem,
    NeatenPage,
    NeatenScore,
    BarNeaten,
    // Placing texts, lines, curves and hairpins: the commands and tool buttons
    // of their modes. The thickness buttons of each tool bar are in order.
    Lyric,
    LyricButton,
    TextCentre,
    CompleteText,
    AbortText,
    TextTransposable,
    TextImmobile,
    TextBoxed,
    TextBold,
    TextItalic,
    TextUnderline,
    ChooseFont,
    FavouriteFont,
    EndLineMode,
    EndCurveMode,
    AbortHairpin,
    LineThickness0,
    LineThickness1,
    LineThickness2,
    LineThickness3,
    LineThickness4,
    LineThickness5,
    LineSolid,
    LineDashed,
    LineWavy,
    CurveThickness0,
    CurveThickness1,
    CurveThickness2,
    CurveThickness3,
    CurveThickness4,
    CurveThickness5,
    CurveSolid,
    CurveDotted,
    CurveEditorial,
    HairpinThickness0,
    HairpinThickness1,
    HairpinThickness2,
    HairpinThickness3,
    Transpose,
    Count
};
inline constexpr int kActionCount = static_cast<int>(Action::Count);

struct ActionInfo {
    Action id;
    const char* name;     // as scripts and the status of actions name it
    const char* caption;  // the menu item's, with its "&"
    const char* keys;     // portable key names, "Ctrl+Z, Alt+Backspace"; empty for none
};

inline constexpr std::array<ActionInfo, kActionCount> kActions{{
    {Action::Save, "acSave", "&Save", "Ctrl+S"},
    {Action::SaveAs, "acSaveAs", "Save &As...", ""},
    {Action::SavePart, "acSavePart", "Save part of sco&re...", ""},
    {Action::SaveAsTemplate, "acSaveAsTemplate", "Save as &Template", ""},
    {Action::Print, "acPrint", "&Print...", "Ctrl+P, Shift+Ctrl+F12"},
    {Action::PictureFile, "acPictureFile", "Copy current page to picture &file...", ""},
    {Action::Clipboard, "acClipboard", "Copy current page to clip&board", ""},
    {Action::Dump, "Dump1", "&Dump...", ""},
    {Action::MergeAfter, "MergeFileAfter", "&Merge File After this stave...", ""},
    {Action::MergeBefore, "MergeFileBefore", "Merge File &Before this stave...", ""},
    {Action::MergeAtEnd, "miMergeFileatEnd", "Merge File at End of this score", ""},
    {Action::ExportMusicXml, "acExportMusicXml", "Export &MusicXML...", ""},
    {Action::Close, "acClose", "&Close", "Ctrl+F4"},
    {Action::Exit, "acExit", "E&xit Staffwright", "Alt+F4"},
    {Action::Undo, "acUndo", "&Undo", "Ctrl+Z, Alt+Backspace"},
    {Action::EnterMusic, "acEnterMusic", "&Music", "F7"},
    {Action::TextMode, "actextmode", "&Text", "F9"},
    {Action::LineMode, "acLinemode", "&Lines", "F11"},
    {Action::CurveMode, "acCurve", "&Curves", "F12"},
    {Action::HairpinMode, "acHairpin", "&Hairpins", "Ctrl+F11"},
    {Action::SymbolMode, "acSymbol", "S&ymbols", "Ctrl+F12"},
    {Action::ShapeMode, "acShape", "S&hapes...", "Ctrl+F10"},
    {Action::BlockMode, "acBlockMode", "&Block", "Shift+F10"},
    {Action::HeadFoot, "acHeadFoot", "Headers and &footers...", "Alt+F3"},
    {Action::Preview, "acPreview", "Pre&view", "Alt+F5"},
    {Action::ToggleEdit, "acToggleEdit", "Lock/unlock for editing", "F10"},
    {Action::Compress, "acCompress", "Compre&ss Left or right", ""},
    {Action::Escape, "acEscape", "Escape", "Esc"},
    {Action::Top, "acTop", "&Top of score", "Ctrl+Shift+PgUp"},
    {Action::FirstPage, "tbTop", "&First page", ""},
    {Action::PrevPage, "acPrevPage", "&Previous page", "Alt+PgUp"},
    {Action::NextPage, "acNextpage", "&Next page", "Alt+PgDown"},
    {Action::LastPage, "tbBottom", "&Last page", ""},
    {Action::End, "acEnd", "&End of score", "Ctrl+Shift+PgDown"},
    {Action::PageTop, "acPageTop", "Top of pa&ge", ""},
    {Action::PageBottom, "acPageBottom", "Bottom of p&age", ""},
    {Action::GotoPage, "Pagenumber1", "Goto &page...", ""},
    {Action::GotoSystem, "Systemnumber1", "Goto s&ystem...", ""},
    {Action::GotoStave, "Stavenumber1", "Goto s&tave...", ""},
    {Action::Repaginate, "acRepaginate", "Re&paginate", "Ctrl+F5"},
    {Action::Rulers, "miRuler", "With &Rulers", "F4"},
    {Action::PageLayout, "acPageLayout", "Page &Layout...", ""},
    {Action::StaveSize, "acStaveSize", "Stave &Size...", ""},
    {Action::Redraw, "acRedraw", "&Redraw", "F5"},
    {Action::RedrawStave, "Redrawstave1", "Redraw sta&ve", "Shift+F5"},
    // Ctrl+F5 is Repaginate's, which comes first in the menus.
    {Action::RedrawSystem, "RedrawSystem1", "Redraw syste&m", ""},
    {Action::VerticalSpacing, "acVerticalSpacing", "&Adjust vertical stave spacing", ""},
    {Action::ExtendedProperties, "acExtProp", "Extended Properties", "Ctrl+F1"},
    {Action::Properties, "acProperties", "Properties", ""},
    {Action::Attributes, "acAttributes", "Attributes", ""},
    {Action::LineLegs, "acLineLegs", "Legs", ""},
    {Action::OptimiseStems, "acOptimiseStems", "Optimise note stems", ""},
    {Action::NoteAlignment, "acNoteAlignment", "&Fixup note Alignment", ""},
    {Action::ReverseStem, "acReverseStem", "Reverse Stem", ""},
    {Action::BeamToPrevious, "acBeamToPrevious", "Beam to previous", ""},
    {Action::Unbeam, "acUnbeam", "Unbeam", ""},
    {Action::FlatBeam, "acFlatBeam", "Flat beam", ""},
    {Action::MakeTriplet, "acMakeTriplet", "Make Triplet", ""},
    {Action::CrossStaveBeam, "acCrossStaveBeam", "Connected selected notes with a beam", ""},
    {Action::BeamTremolo, "acbeamtremulo", "Make a tremulo beam", ""},
    {Action::Triplets, "acTriplets", "Make triplets", ""},
    {Action::DeleteFocus, "acDelFocusobject", "&Delete", "Del"},
    {Action::AddMenu, "Place", "&Add", "Ins"},
    {Action::PlaceClef, "PlaceClef", "&Clef...", "Ctrl+C"},
    {Action::PlaceKeysig, "PlaceKeysignature", "&Key signature...", "Ctrl+K"},
    {Action::PlaceTimesig, "PlaceTimeSignature", "&Time signature...", "Ctrl+T"},
    {Action::RenumberBars, "acRenumberBars", "Renumber &bars", "Ctrl+Alt+F5"},
    {Action::JustifyAll, "acJustifyall", "Justify system", "Ctrl+J"},
    {Action::NeatenSystem, "acNeatenSystem", "&Neaten this system", "Shift+F6"},
    {Action::NeatenPage, "acNeatenPage", "&Neaten this page", ""},
    {Action::NeatenScore, "acNeatenScore", "&Neaten whole score", "Ctrl+F6"},
    {Action::BarNeaten, "acBarNeaten", "&Neaten Music", "F6"},
    {Action::Lyric, "acLyric", "L&yrics", "Ctrl+F9"},
    {Action::LyricButton, "tbLyric", "Lyric", ""},
    {Action::TextCentre, "acTxtCentre", "Centre", ""},
    {Action::CompleteText, "tbcompletetxt", "Complete text and return", ""},
    {Action::AbortText, "tbAbortText", "Abort this text", ""},
    {Action::TextTransposable, "tbtranspose", "Transposable", ""},
    {Action::TextImmobile, "tbImmobile", "Immobile", ""},
    {Action::TextBoxed, "tbBoxed", "Boxed", ""},
    {Action::TextBold, "tbBold", "Bold", ""},
    {Action::TextItalic, "tbItalic", "Italic", ""},
    {Action::TextUnderline, "tbUnderline", "Underline", ""},
    {Action::ChooseFont, "tbFontchange", "Choose from any font", ""},
    {Action::FavouriteFont, "tbFavFonts", "Choose from favourite fonts", ""},
    {Action::EndLineMode, "tbEndLinemode", "End line mode", ""},
    {Action::EndCurveMode, "tbendcurvemode", "End curve mode", ""},
    {Action::AbortHairpin, "tbabort", "Abort", ""},
    {Action::LineThickness0, "tbLine0", "0", ""},
    {Action::LineThickness1, "tbLine1", "1", ""},
    {Action::LineThickness2, "tbLine2", "2", ""},
    {Action::LineThickness3, "tbLine3", "3", ""},
    {Action::LineThickness4, "tbLine4", "4", ""},
    {Action::LineThickness5, "tbLine5", "5", ""},
    {Action::LineSolid, "tbsolidline", "Solid", ""},
    {Action::LineDashed, "tbdashline", "Dashed", ""},
    {Action::LineWavy, "tbwavyline", "Wavy", ""},
    {Action::CurveThickness0, "tbCurve0", "0", ""},
    {Action::CurveThickness1, "tbCurve1", "1", ""},
    {Action::CurveThickness2, "tbCurve2", "2", ""},
    {Action::CurveThickness3, "tbCurve3", "3", ""},
    {Action::CurveThickness4, "tbCurve4", "4", ""},
    {Action::CurveThickness5, "tbCurve5", "5", ""},
    {Action::CurveSolid, "tbsolidcurve", "Solid", ""},
    {Action::CurveDotted, "tbdotcurve", "Dotted", ""},
    {Action::CurveEditorial, "tbvertcurve", "Editorial", ""},
    {Action::HairpinThickness0, "tbHairpin0", "0", ""},
    {Action::HairpinThickness1, "tbHairpin1", "1", ""},
    {Action::HairpinThickness2, "tbHairpin2", "2", ""},
    {Action::HairpinThickness3, "tbHairpin3", "3", ""},
    {Action::Transpose, "acTranspose", "Transpose...", ""},
}};

inline const ActionInfo& Info(Action a) {
    return kActions[static_cast<std::size_t>(a)];
}
inline const char* ActionName(Action a) {
    return Info(a).name;
}
// The action of a name, compared without regard to case.
std::optional<Action> ActionByName(std::string_view name);
// A key written as "Ctrl+Shift+PgUp" in any order and case of its parts, in
// the one spelling the table uses ("Ctrl+Shift+PgUp"); empty when it is no key.
std::string NormalizeKey(std::string_view key);
// Which of Shift, Ctrl and Alt a key event held.
struct KeyModifiers {
    bool shift = false, ctrl = false, alt = false;
    bool operator==(const KeyModifiers&) const = default;
};
// A key name split into its modifiers and the key itself ("Ctrl+Shift+Z"
// gives Z with Ctrl and Shift; "Ctrl++" the plus key with Ctrl).
struct KeyParts {
    KeyModifiers held;
    std::string name;
};
KeyParts SplitKey(std::string_view key);
// The action whose keys include `key` (any spelling NormalizeKey takes).
std::optional<Action> ActionByKey(std::string_view key);

}  // namespace sw
