// The scan command: each script line is a command of the scan window, run
// through the same controller; the engine runs as a process and is waited
// for, the scanner is SANE's.
#include "cli/Scan.h"

#include <QCoreApplication>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/MainLogic.h"
#include "app/ScanSettings.h"
#include "app/Settings.h"
#include "core/TextUtil.h"
#include "editor/script/ScriptRunner.h"
#include "platform/EngineProcess.h"
#include "platform/SaneScanner.h"
#include "render/Text.h"
#include "scan/ImportController.h"

namespace sw {

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli scan SCRIPT [--appdir DIR]\n";
    return 2;
}

std::string Lowered(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The text after the command word, as written.
std::string Rest(const std::string& line, const std::string& word) {
    std::size_t at = line.find(word) + word.size();
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    std::string rest = line.substr(at);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r' || rest.back() == '\t'))
        rest.pop_back();
    return rest;
}

bool* OptionNamed(ScanOptions& o, const std::string& name) {
    const std::string n = Lowered(name);
    if (n == "oldsymbols") return &o.oldSymbols;
    if (n == "gracenotes") return &o.graceNotes;
    if (n == "thinbeams") return &o.thinBeams;
    if (n == "symmetricheads") return &o.symmetricHeads;
    if (n == "accents") return &o.accents;
    if (n == "words") return &o.words;
    if (n == "curves") return &o.curves;
    return nullptr;
}

std::optional<bool> OnOff(const std::string& word) {
    if (word == "on") return true;
    if (word == "off") return false;
    return std::nullopt;
}

class ScanScript {
  public:
    ScanScript(ImportController& c, EngineProcess& engine, ScriptAnswers& answers)
        : c_(c), engine_(engine), answers_(answers) {}

    // Empty when the line ran; otherwise what was wrong with it.
    std::string run(const std::string& line);
    bool returned() const { return returned_; }

  private:
    void printCaption() { std::cout << "caption: " << c_.caption() << std::endl; }
    void printSummary() {
        if (c_.summaryShown()) std::cout << "summary: " << CountsJson(c_.counts()) << std::endl;
    }

    ImportController& c_;
    EngineProcess& engine_;
    ScriptAnswers& answers_;
    bool returned_ = false;
};

std::string ScanScript::run(const std::string& line) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    if (word.empty() || word[0] == '#') return {};
    if (returned_) return "the scan window has been left";
    const std::string rest = Rest(line, word);
    const std::string cmd = Lowered(word);
    if (cmd == "answer") {
        answers_.queue.push_back(rest);
    } else if (cmd == "open" || cmd == "save") {
        if (rest.empty()) return cmd + " needs a path";
        if (cmd == "save" && !c_.hasPicture()) return "there is no picture to save";
        cmd == "open" ? c_.openPicture(rest) : c_.savePicture(rest);
        printCaption();
    } else if (cmd == "source") {
        if (!c_.selectSource(rest)) return "no scanner is called \"" + rest + "\"";
    } else if (cmd == "acquire") {
        if (!c_.scannerAvailable()) return "no scanner is available";
        c_.acquire();
        printCaption();
    } else if (cmd == "rotate") {
        std::string way;
        in >> way;
        if (way != "left" && way != "right") return "rotate left or rotate right";
        if (!c_.hasPicture()) return "there is no picture to rotate";
        c_.rotate(way == "right");
    } else if (cmd == "view") {
        int w = 0, h = 0;
        if (!(in >> w >> h) || w <= 0 || h <= 0) return "view W H, two sizes above 0";
        c_.setView(w, h);
    } else if (cmd == "scaled") {
        std::string v;
        in >> v;
        const std::optional<bool> on = OnOff(v);
        if (!on) return "scaled on or scaled off";
        c_.setScaled(*on);
    } else if (cmd == "crop") {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!(in >> x1 >> y1 >> x2 >> y2)) return "crop X1 Y1 X2 Y2";
        if (!c_.defineCrop()) return "there is no picture to crop";
        c_.cropPress(x1, y1);
        c_.cropMove(x2, y2);
        c_.cropRelease(x2, y2);
        c_.crop();
    } else if (cmd == "abandon") {
        if (c_.cropState() != ImportController::CropState::Defined) return "no crop to abandon";
        c_.abandonCrop();
    } else if (cmd == "dpi") {
        std::cout << "dpi: " << c_.setDpiText(rest) << std::endl;
    } else if (cmd == "option") {
        std::string name, v;
        in >> name >> v;
        bool* option = OptionNamed(c_.options(), name);
        const std::optional<bool> on = OnOff(v);
        if (!option || !on) return "option NAME on|off, with a name the window has";
        *option = *on;
    } else if (cmd == "interpret") {
        if (!c_.hasPicture()) return "there is no picture to interpret";
        if (c_.interpret()) engine_.waitForEnd();
        printSummary();
    } else if (cmd == "reinterpret") {
        c_.reinterpret();
        printSummary();
    } else if (cmd == "clear") {
        c_.clear();
        printCaption();
    } else if (cmd == "ok" || cmd == "cancel") {
        if (!c_.summaryShown()) return "the summary is not shown";
        cmd == "ok" ? c_.summaryOk() : c_.summaryCancel();
    } else if (cmd == "return") {
        returned_ = true;
        if (const std::optional<std::string> score = c_.exitAndReturn())
            std::cout << "open: " << *score << std::endl;
    } else {
        return "unknown command \"" + word + "\"";
    }
    return {};
}

}  // namespace

int ScanCommand(int argc, char** argv) {
    std::string scriptPath, appDirArg;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--appdir" && i + 1 < argc)
            appDirArg = argv[++i];
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else if (scriptPath.empty())
            scriptPath = a;
        else
            return Usage();
    }
    if (scriptPath.empty()) return Usage();
    std::ifstream file(scriptPath);
    if (!file) {
        std::cerr << "staffwright-cli: cannot read " << scriptPath << "\n";
        return 1;
    }

    const AppFolder folder = PrepareApplicationFolder(ApplicationDirectory(appDirArg),
                                                      std::string(), UserConfigDirectory());
    IniFile ini;
    SettingsEnv env;
    env.northAmerican = NorthAmericanLocale();
    const Settings settings = LoadSettingsFile(SettingsReadPath(folder), env, ini);

    ImportConfig config = ScanConfig(settings);
    config.appDir = folder.dir;
    config.engine = FindRecognitionEngine(
        folder.dir, QCoreApplication::applicationDirPath().toStdString(), STAFFWRIGHT_BUILT_ENGINE);
    if (config.scoreFolder.empty()) config.scoreFolder = DirectoryOf(scriptPath);

    ScriptAnswers answers;
    ScriptHost host(answers, std::cerr);
    QtTextMeasurer measurer;
    SaneScanner scanner;
    ImportController* controller = nullptr;
    EngineProcess engine([&](const std::string& line) { controller->engineLine(line); },
                         [&](int code, bool normal) { controller->engineFinished(code, normal); });
    std::mt19937 random(std::random_device{}());
    ImportController c(config, host, measurer, &scanner, &engine, [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    });
    controller = &c;
    c.setPaperFitAsker([&answers](const PaperFitDialogModel& model) {
        const std::optional<std::string> a = answers.next();
        if (!a) {
            answers.failures.push_back("unanswered question: \"" + model.caption() + "\"");
            return PaperFitDialogModel::kDefaultButton;
        }
        return Lowered(*a) == "landscape" ? PaperFitDialogModel::kOtherButton
                                          : PaperFitDialogModel::kDefaultButton;
    });

    ScanScript script(c, engine, answers);
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::string error = script.run(line);
        if (error.empty() && !answers.failures.empty()) error = answers.failures.front();
        if (!error.empty()) {
            std::cerr << scriptPath << ":" << number << ": " << error << "\n";
            return 1;
        }
    }
    if (!answers.queue.empty()) {
        std::cerr << scriptPath << ": the answer \"" << answers.queue.front()
                  << "\" was never asked for\n";
        return 1;
    }
    return 0;
}

}  // namespace sw
