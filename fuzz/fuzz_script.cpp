// libFuzzer target for scripts: whatever lines a script holds, the runner and
// the editor behind it must not crash, and the score it leaves must save and
// load back cleanly. File dialogs are always cancelled, so no input writes a file.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FixedMeasurer.h"
#include "MemoryFile.h"
#include "core/TextMeasurer.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/UndoStorage.h"
#include "editor/script/ScriptRunner.h"
#include "model/Build.h"

namespace {

class CancellingHost : public sw::ScriptHost {
  public:
    using ScriptHost::ScriptHost;
    std::optional<std::string> openFileName(const sw::FileDialogSpec&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFileName(const sw::FileDialogSpec&) override {
        return std::nullopt;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    std::vector<std::string> lines;
    std::stringstream in(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string l; std::getline(in, l) && lines.size() < 64;)
        lines.push_back(l);

    sw::ScriptAnswers answers;
    std::ostringstream out;
    CancellingHost host(answers, out);
    sw::WarningBox warnings;
    sw::UndoRing undo(std::make_unique<sw::MemoryUndoStorage>());
    sw::HeadlessView view;
    sw::DocumentServices services;
    sw::ScriptDialogs dialogs(answers, host, warnings, sw::CapacityReader());
    FixedMeasurer measurer;
    auto score = std::make_unique<sw::Score>();
    sw::EditorSettings settings;
    settings.undoDepth = 10;
    sw::DocumentController controller(*score, settings, host, warnings, undo, view, services,
                                      dialogs, measurer);
    if (!controller.start(sw::DocumentController::Start::Empty, "", "NONAME1", false)) return 0;
    score->page.Header = 0.5;
    score->page.Footer = 0.5;
    for (int s = 2; s <= 4; ++s)
        sw::AppendStave(*score, 54 + 100 * (s - 1), 17, 600);
    sw::PlaceNote(*score, 1, 200, 0, 3);
    sw::PlaceText(*score, 0, sw::kHeadertext, 10, 10, 1, "Title");
    controller.layOutAgain();
    sw::RunScript(lines, controller, answers, *score);

    sw::ScriptHost quiet(answers, out);
    ExpectCleanRoundTrip(*score, quiet, "scripted");
    return 0;
}
