// The recognise command: the engine run as a separate process with an
// argument list, its progress lines read, its result converted as the import
// window converts it.
#include "cli/Recognise.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/MainLogic.h"
#include "app/Settings.h"
#include "cli/CliHost.h"
#include "core/Bmp1.h"
#include "core/TextUtil.h"
#include "render/Text.h"
#include "scan/Engine.h"
#include "scan/ImportController.h"
#include "scan/ResultConversion.h"

namespace sw {

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli recognise IN.bmp|IN.mro OUT.swn [--dpi N] [--fit "
                 "portrait|landscape] [--no-words] [--no-curves] [--accents] [--result R.mro] "
                 "[--appdir DIR]\n";
    return 2;
}

// The resolution a BMP records, or 0.
int RecordedResolution(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> head(64, 0);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    return Bmp1Resolution(reinterpret_cast<const uint8_t*>(head.data()),
                          static_cast<std::size_t>(in.gcount()));
}

// Runs the engine on `picture`; true when it reported DONE, exited 0 and left
// its result. Otherwise says why on stderr.
bool RunEngine(const std::string& engine, const std::string& picture, const std::string& result,
               const EngineOptions& options) {
    QStringList args;
    for (const std::string& a : EngineArguments(picture, result, options))
        args << QString::fromStdString(a);
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QString::fromStdString(engine), args);
    if (!process.waitForStarted(10000)) {
        std::cerr << "staffwright-cli: the recognition engine " << engine
                  << " could not be started\n";
        return false;
    }
    bool done = false;
    std::string pending;
    auto readLines = [&] {
        pending += process.readAllStandardOutput().toStdString();
        for (std::size_t cut; (cut = pending.find('\n')) != std::string::npos;) {
            if (ParseEngineLine(pending.substr(0, cut)).kind == EngineLine::Done) done = true;
            pending.erase(0, cut + 1);
        }
    };
    while (!process.waitForFinished(200))
        readLines();
    readLines();
    if (!pending.empty() && ParseEngineLine(pending).kind == EngineLine::Done) done = true;
    const std::string errors = process.readAllStandardError().toStdString();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !done ||
        !std::ifstream(result)) {
        std::cerr << "staffwright-cli: the recognition engine did not complete"
                  << (errors.empty() ? std::string("\n") : ": " + errors);
        return false;
    }
    return true;
}

}  // namespace

int RecogniseCommand(int argc, char** argv) {
    std::vector<std::string> files;
    std::string dpiText, fit = "portrait", resultArg, appDirArg;
    ConversionOptions options;
    bool accents = false;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--dpi" && i + 1 < argc)
            dpiText = argv[++i];
        else if (a == "--fit" && i + 1 < argc)
            fit = argv[++i];
        else if (a == "--result" && i + 1 < argc)
            resultArg = argv[++i];
        else if (a == "--appdir" && i + 1 < argc)
            appDirArg = argv[++i];
        else if (a == "--no-words")
            options.includeWords = false;
        else if (a == "--no-curves")
            options.includeCurves = false;
        else if (a == "--accents")
            accents = true;
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            files.push_back(a);
    }
    if (files.size() != 2 || (fit != "portrait" && fit != "landscape")) return Usage();
    const std::string& in = files[0];
    const std::string& out = files[1];
    const bool picture = !HasExtension(in, ".MRO");

    // The paper and the scanner options of the application folder's settings.
    const AppFolder folder = PrepareApplicationFolder(ApplicationDirectory(appDirArg),
                                                      std::string(), UserConfigDirectory());
    IniFile ini;
    SettingsEnv env;
    env.northAmerican = NorthAmericanLocale();
    const Settings settings = LoadSettingsFile(SettingsReadPath(folder), env, ini);
    options.paper = PaperDefaults{settings.pageWidth, settings.pageLength, settings.pageLeft,
                                  settings.pageRight, settings.pageTop,    settings.pageBottom};
    options.allowAccents = accents;
    if (dpiText.empty()) {
        const int recorded = picture ? RecordedResolution(in) : 0;
        dpiText = std::to_string(recorded > 0 ? recorded : 300);
    }
    options.dpiText = dpiText;

    std::string resultPath = resultArg;
    std::unique_ptr<QTemporaryDir> scratch;
    if (picture) {
        const std::string engine =
            FindRecognitionEngine(folder.dir, QCoreApplication::applicationDirPath().toStdString(),
                                  STAFFWRIGHT_BUILT_ENGINE);
        if (engine.empty()) {
            std::cerr << "staffwright-cli: the recognition engine (VELTRO/veltro) is not "
                         "installed\n";
            return 1;
        }
        if (resultPath.empty()) {
            scratch = std::make_unique<QTemporaryDir>();
            if (!scratch->isValid()) {
                std::cerr << "staffwright-cli: no temporary folder for the engine's result\n";
                return 1;
            }
            resultPath = scratch->filePath("OMRout.mro").toStdString();
        }
        EngineOptions engineOptions;
        engineOptions.dpi = ScanResolution(dpiText);
        engineOptions.oldSymbols = settings.oldeSymbols;
        engineOptions.graceNotes = settings.scanGraceNotes;
        engineOptions.thinBeams = settings.thinBeams;
        engineOptions.symmetricHeads = settings.ellipseHeads;
        engineOptions.accents = settings.accents || accents;
        if (!RunEngine(engine, in, resultPath, engineOptions)) return 1;
    } else {
        resultPath = in;
    }

    CliHost host(std::cerr);
    QtTextMeasurer measurer;
    RecognitionTables tables;
    auto score = std::make_unique<Score>();
    const int button = fit == "landscape" ? PaperFitDialogModel::kOtherButton
                                          : PaperFitDialogModel::kDefaultButton;
    const ConversionOutcome outcome =
        ConvertRecognitionResult(resultPath, out, options, tables, *score, host, measurer,
                                 [button](const PaperFitDialogModel&) { return button; });
    std::cout << CountsJson(outcome.counts) << std::endl;
    return outcome.ok ? 0 : 1;
}

}  // namespace sw
