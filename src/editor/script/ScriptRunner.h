// Scripts: the editor driven a line at a time, with no window, through the
// same controller the window uses. Keys, clicks and actions go where the
// window would send them; questions and dialogs take the answers the script
// queued with `answer`, and a question nobody answered fails the script.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/Host.h"
#include "editor/DocumentController.h"

namespace sw {

// The answers a script has queued, shared by its host and its dialogs; what
// went wrong is kept for the runner to report.
struct ScriptAnswers {
    std::deque<std::string> queue;
    std::vector<std::string> failures;
    std::optional<std::string> next() {
        if (queue.empty()) return std::nullopt;
        std::string a = std::move(queue.front());
        queue.pop_front();
        return a;
    }
};

// The user as a script plays them: every message is written to `out` as
// "message: TEXT"; a question takes the next queued answer, which must name
// one of its buttons.
class ScriptHost : public Host {
  public:
    ScriptHost(ScriptAnswers& answers, std::ostream& out) : answers_(answers), out_(out) {}

    Answer message(MsgType type, const std::string& text, Buttons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    WarningAnswer warning(const std::string& text, Buttons buttons) override;
    std::optional<std::string> openFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFileName(const FileDialogSpec& spec) override;
    void progressBegin(const std::string&) override {}
    void progressText(const std::string&) override {}
    bool progressStep(int) override { return true; }
    void progressEnd() override {}
    void setBusy(bool) override {}

  private:
    Answer ask(const std::string& text, Buttons buttons);
    std::optional<std::string> fileName(const FileDialogSpec& spec);

    ScriptAnswers& answers_;
    std::ostream& out_;
};

// One item of a dialog's answer: "Name=Value", or a bare name that presses a
// button or picks a choice.
struct DialogItem {
    std::string name;
    std::optional<std::string> value;
};
std::vector<DialogItem> ParseDialogAnswer(const std::string& line);

// A dialog's controls as a script reaches them, by caption.
struct DialogControl {
    enum Kind { Box, Check, Button };
    std::string caption;  // with its "&"
    Kind kind = Button;
    bool enabled = true;
    // Box: the text typed; Check: "Yes" or "No". False when the value does not fit.
    std::function<bool(const std::string&)> set;
    // Button, or a choice picked by its caption.
    std::function<void()> press;
    // Whether it can be used now, for a control the dialog itself greys out.
    std::function<bool()> enabledNow = {};
};

// Finds the control an item names: its caption without "&" and outer spaces,
// case ignored; where two read alike, the caption written with its "&".
// Null (with the reason in `why`) when none or more than one fits.
const DialogControl* FindControl(const std::vector<DialogControl>& controls,
                                 const std::string& name, std::string& why);

// The document's dialogs answered from the script's queue through their models.
class ScriptDialogs : public DocumentDialogs {
  public:
    ScriptDialogs(ScriptAnswers& answers, Host& host, WarningBox& warnings, CapacityReader printer)
        : answers_(answers), host_(host), warnings_(warnings), printer_(std::move(printer)) {}

    HeaderFooterChooser::Choice chooseHeaderFooter(const HeaderFooterChooser& c) override;
    bool chooseSymbol(SymbolPaletteModel& model) override;
    bool chooseShape(ShapePaletteModel& model) override;
    bool chooseFont(FontDesc& font) override;
    std::optional<FontDesc> selectFavourite() override;
    bool pageSetup(PageData& page, bool& metric) override;
    std::optional<double> staveSize(StaveSizeDialogModel& model, const Score& score) override;
    bool noteAlignment(NoteAlignmentModel& model) override;
    bool tremoloBeams(TremoloBeamsModel& model) override;
    bool verticalSpacing(VerticalSpacingModel& model) override;
    bool barMaintenance(BarMaintenanceModel& model) override;
    // The queued answer names the item by its caption.
    std::optional<int> popup(const MenuModel& menu) override;
    // Every control of the form by its caption; a radio group also by its
    // own caption with the choice as the value ("Stem=Up"), a memo's lines
    // split by "|".
    bool showForm(AttributeForm& form) override;
    bool neatenStaves(NeatenDialogModel& model) override;
    bool transpose(TransposeDialogModel& model) override;
    bool scottishPipes(PipesDialogModel& model) override;
    bool randomTune(RandomTuneDialogModel& model) override;
    // An item's caption ("41 Violin") or number picks the instrument.
    std::optional<int> chooseInstrument(int current) override;
    std::optional<int> chooseTemperament(int current) override;
    // The favourite instruments the chooser keeps (1-based), when it has any.
    void setFavourites(std::vector<int>* favourites) { favourites_ = favourites; }
    // The favourite fonts "Select Favourite font" offers, answered by their use.
    void setFavouriteFonts(const std::array<FontSetting, 16>* fonts) { fonts_ = fonts; }
    bool staveAttributes(StaveAttributesModel& model) override;
    // Every control by its caption or its component name ("sebackupmins",
    // "cb10"); a radio group also by its caption with the choice as the value.
    bool options(OptionsModel& model) override;
    // Answered by a button's caption ("Copy Once", "Al&ign").
    bool blockAction(BlockActionModel& model) override;

  private:
    // Plays the queued answers into a dialog until OK is accepted (true) or
    // it is cancelled (false). `ok` says whether OK may close it now;
    // `cancel` is the caption of the button that closes it unchanged,
    // `accept` that of the one that tries OK; a palette whose choice closes
    // it sets `chosen`.
    bool run(const std::string& title, std::vector<DialogControl> controls,
             const std::function<bool()>& ok, const std::string& cancel = "Cancel",
             const bool* chosen = nullptr, const std::string& accept = "OK");

    ScriptAnswers& answers_;
    Host& host_;
    WarningBox& warnings_;
    CapacityReader printer_;
    std::vector<int>* favourites_ = nullptr;
    const std::array<FontSetting, 16>* fonts_ = nullptr;
};

struct ScriptResult {
    bool ok = true;
    int line = 0;  // the line that failed
    std::string error;
    bool closed = false;  // the script closed the score
};

// Runs the lines of a script against a started document.
ScriptResult RunScript(const std::vector<std::string>& lines, DocumentController& controller,
                       ScriptAnswers& answers, Score& score);

}  // namespace sw
