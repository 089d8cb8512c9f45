// The script command: the score opened as the editor opens it, the script run
// through the editor's controller, the result saved or drawn, and the
// settings written back as the editor writes them when it closes.
#include "cli/Script.h"

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/FavouriteFonts.h"
#include "app/IniFile.h"
#include "app/MainLogic.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/PlayWindow.h"
#include "editor/UndoStorage.h"
#include "editor/script/ScriptRunner.h"
#include "platform/FluidSynth.h"
#include "platform/LinuxFolderFacts.h"
#include "platform/SystemFacts.h"
#include "render/DrawContext.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/PageView.h"
#include "render/Printing.h"
#include "render/Text.h"
#include "render/VectorExport.h"
#include "scan/Engine.h"

namespace sw {

namespace {

// The report window: each line shown is written to stderr as "report: LINE".
class ScriptReport : public TextReport {
  public:
    void ShowReport() override {
        TextReport::ShowReport();
        for (const std::string& line : lines())
            std::cerr << "report: " << line << "\n";
    }
};

// The main window's part, kept in the settings that are written back.
class ScriptServices : public DocumentServices {
  public:
    ScriptServices(Settings& settings, const AppFolder& folder)
        : settings_(settings), folder_(folder) {}
    PlayWindow* playWindow() override { return player_; }
    void setPlayWindow(PlayWindow* w) { player_ = w; }
    std::string fileDirectory() const override { return settings_.fileDirectory; }
    void setFileDirectory(const std::string& dir) override { settings_.fileDirectory = dir; }
    std::string lastPrinter() const override { return settings_.printer; }
    void setLastPrinter(const std::string& name) override { settings_.printer = name; }
    void setMetric(bool metric) override { settings_.unitsInches = !metric; }
    void setNeatenFactor(int f) override { settings_.neatenFactor = f; }
    void setBarFont(const FontDesc& font) override { settings_.barFont = FontSettingOf(font); }
    int* headerFooterReminders() override { return &reminders_; }
    ReportSink* report() override { return &report_; }
    Settings* programSettings() override { return &settings_; }
    bool programFolderReadOnly() const override { return folder_.readOnly; }
    OptionsPlatform optionsPlatform() override {
        OptionsPlatform p;
        p.folders = &folders_;
        p.system = &system_;
        p.printers = &printers_;
        p.appDir = folder_.dir;
        p.engine =
            FindRecognitionEngine(folder_.dir, QCoreApplication::applicationDirPath().toStdString(),
                                  STAFFWRIGHT_BUILT_ENGINE);
        p.program = "staffwright-cli";
        return p;
    }

  private:
    Settings& settings_;
    const AppFolder& folder_;
    LinuxFolderFacts folders_;
    LinuxSystemFacts system_;
    QtPrinterFacts printers_;
    int reminders_ = 0;
    ScriptReport report_;
    PlayWindow* player_ = nullptr;
};

// The screen nobody looks at; its PDF printer writes the file asked for, as
// the window's does when the machine has no printer.
class ScriptView : public HeadlessView {
  public:
    ScriptView(const Score& score, Host& host, std::string document)
        : score_(score), host_(host), document_(std::move(document)) {}
    void printToPdf(const PdfPrintRequest& request) override {
        HeadlessView::printToPdf(request);
        GlyphStore glyphs;
        DrawSettings settings;
        settings.textEnv.filePath = document_;
        settings.textEnv.now = std::time(nullptr);
        const int pages = std::max<int>(score_.pageCount, 1);
        if (request.vector)
            WriteVectorPdf(request.path, glyphs, score_, 1, pages, settings, host_);
        else
            WritePdf(request.path, glyphs, score_, 1, pages, settings, host_);
    }

  private:
    const Score& score_;
    Host& host_;
    std::string document_;
};

int Usage() {
    std::cerr << "usage: staffwright-cli script IN.swn SCRIPT [-o OUT.swn] [--png OUT.png "
                 "[--page N]] [--appdir DIR] [--seed N]\n";
    return 2;
}

bool DrawPage(Score& score, int page, const std::string& path, const FontDesc& barFont,
              Host& host) {
    GlyphStore glyphs;
    QImage picture;
    if (!SetUpPagePicture(picture, score, page, 32, false, host, PagePictureBudget())) return false;
    DrawSettings settings;
    settings.textEnv.filePath = path;
    settings.textEnv.now = std::time(nullptr);
    settings.barFont = barFont;
    DrawAll(PictureContext(picture, glyphs, false), score, page, settings, PageViewState{});
    const int error = WritePng(path, picture);
    if (error == 0) return true;
    std::cerr << "staffwright-cli: cannot write " << path << ": " << WriteErrorText(error, false)
              << "\n";
    return false;
}

}  // namespace

int ScriptCommand(int argc, char** argv) {
    std::vector<std::string> files;
    std::string out, png, appDir;
    int page = 0;
    std::optional<uint32_t> seed;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-o" && i + 1 < argc)
            out = argv[++i];
        else if (a == "--png" && i + 1 < argc)
            png = argv[++i];
        else if (a == "--appdir" && i + 1 < argc)
            appDir = argv[++i];
        else if (a == "--page" && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || n < 0 || n > 100000) return Usage();
            page = static_cast<int>(n);
        } else if (a == "--seed" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long n = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0' || argv[i][0] == '-' || n > UINT32_MAX) return Usage();
            seed = static_cast<uint32_t>(n);
        } else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            files.push_back(a);
    }
    if (files.size() != 2) return Usage();
    const std::string& in = files[0];
    const std::string& scriptPath = files[1];
    std::ifstream scriptFile(scriptPath);
    if (!scriptFile) {
        std::cerr << "staffwright-cli: cannot read the script " << scriptPath << "\n";
        return 1;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(scriptFile, line);)
        lines.push_back(line);

    // The settings the editor would use, from the same application folder;
    // its samples are not copied here.
    const AppFolder folder = PrepareApplicationFolder(ApplicationDirectory(appDir), std::string(),
                                                      UserConfigDirectory());
    IniFile ini;
    SettingsEnv env;
    env.northAmerican = NorthAmericanLocale();
    Settings settings = LoadSettingsFile(folder.settingsPath, env, ini);

    ScriptAnswers answers;
    ScriptHost host(answers, std::cerr);
    // The warning box as the editor has it: the user's level and the
    // messages they have turned off.
    WarningBox warnings;
    warnings.setUserLevel(settings.level);
    for (int n = 0; n < WarningBox::kSuppressible; ++n)
        if (settings.suppressed.test(static_cast<std::size_t>(n))) warnings.setSuppressed(n, true);
    UndoRing undo(std::make_unique<FileUndoStorage>());
    auto score = std::make_unique<Score>();
    ScriptView view(*score, host, in);
    ScriptServices services(settings, folder);
    ScriptDialogs dialogs(answers, host, warnings,
                          CapacityReader());  // no printer: PDF has any paper
    QtTextMeasurer measurer;
    dialogs.setFavourites(&settings.favouritePrograms);
    dialogs.setFavouriteFonts(&settings.favourites);
    DocumentController controller(*score, EditorSettingsFrom(settings), host, warnings, undo, view,
                                  services, dialogs, measurer);
    // The play window of the run; the end of the script stops its music and
    // removes its file.
    FluidPlayer synthesiser(SoundConfig{settings.soundFont, settings.audioDriver});
    PlayWindow playWindow(settings, host, warnings, dialogs, synthesiser, folder.dir);
    services.setPlayWindow(&playWindow);
    if (!controller.start(DocumentController::Start::File, in, in, false)) {
        std::cerr << "staffwright-cli: " << in << " could not be opened\n";
        return 1;
    }
    if (seed) controller.seedRandom(*seed);
    const ScriptResult result = RunScript(lines, controller, answers, *score);
    int status = 0;
    if (!result.ok) {
        std::cerr << "staffwright-cli: " << scriptPath << ":" << result.line << ": " << result.error
                  << "\n";
        status = 1;
    }
    if (status == 0 && !out.empty() &&
        SaveScore(*score, out, 0, score->Nstaves, false, false, host) != SaveResult::Saved)
        status = 1;
    if (status == 0 && !png.empty()) {
        const int shown = page > 0 ? page : std::max(controller.page(), 1);
        if (shown > std::max<int>(score->pageCount, 1)) {
            std::cerr << "staffwright-cli: page " << shown << " does not exist; the score has "
                      << score->pageCount << (score->pageCount == 1 ? " page" : " pages") << "\n";
            status = 1;
        } else if (!DrawPage(*score, shown, png, controller.settings().barFont, host)) {
            status = 1;
        }
    }
    undo.close();
    for (int n = 0; n < WarningBox::kSuppressible; ++n)
        settings.suppressed.set(static_cast<std::size_t>(n), warnings.suppressed(n));
    if (!SaveSettingsFile(settings, ini, folder.settingsPath)) {
        std::cerr << "staffwright-cli: the settings could not be written to " << folder.settingsPath
                  << "\n";
        status = status == 0 ? 1 : status;
    }
    return status;
}

}  // namespace sw
