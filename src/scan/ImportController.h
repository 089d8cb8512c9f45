// The scan window's logic: the page picture (opened, scanned, turned,
// cropped, saved), its names, the engine run with its gauge, the conversion
// of the result and the summary. The window and the command line only show
// it and feed it events.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Bmp1.h"
#include "core/Host.h"
#include "core/TextMeasurer.h"
#include "model/Score.h"
#include "scan/Engine.h"
#include "scan/PaperFit.h"
#include "scan/RecognitionResult.h"
#include "scan/Scanner.h"

namespace sw {

// Starts the engine as a separate process and reports back through
// ImportController::engineLine / engineFinished.
class EngineRunner {
  public:
    virtual ~EngineRunner() = default;
    // False (with the reason in `why`) when the program cannot be started.
    virtual bool start(const std::string& program, const std::vector<std::string>& args,
                       std::string& why) = 0;
    virtual void terminate() = 0;
};

// The progress gauge: moves a step a tick towards the engine's last
// percentage, quickly until it is one short of it, then idles at random
// intervals so that a long stage still shows life.
class ScanGauge {
  public:
    static constexpr int kStepMs = 50, kIdleBelowMs = 25000;
    // `randomBelow(n)` gives a value in [0, n).
    explicit ScanGauge(std::function<int(int)> randomBelow)
        : randomBelow_(std::move(randomBelow)) {}
    void reset();
    void setTarget(int percent);
    void tick();
    int position() const { return position_; }
    int target() const { return target_; }
    bool running() const { return running_; }
    int intervalMs() const { return interval_; }
    void stop() { running_ = false; }

  private:
    std::function<int(int)> randomBelow_;
    int position_ = 0, target_ = 0, interval_ = kStepMs;
    bool running_ = false;
};

// The interpretation switches of the window.
struct ScanOptions {
    bool oldSymbols = false, graceNotes = true, thinBeams = true, symmetricHeads = false,
         accents = false, words = true, curves = true;
};

struct ImportConfig {
    std::string appDir;       // VELTRO/SCRAP below it holds the engine's files
    std::string engine;       // the engine program; empty when there is none
    std::string scoreFolder;  // where a score goes before any picture was opened or saved
    std::string dpiText = "300";
    bool showScaled = true;
    bool diagnostics = false;  // the engine's progress shown as numbers beside the gauge
    ScanOptions options;
    PaperDefaults paper;
};

// A rectangle in displayed pixels.
struct ViewRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class ImportController {
  public:
    enum class CropState { None, Ready, Defining, Defined };

    ImportController(ImportConfig config, Host& host, const TextMeasurer& measurer,
                     Scanner* scanner, EngineRunner* engine, std::function<int(int)> randomBelow);

    // Names.
    std::string caption() const { return "SW Scan - " + scoreName_; }
    const std::string& scoreName() const { return scoreName_; }
    std::string scorePath() const;
    const std::string& pictureFolder() const { return folder_; }
    std::string scrapFolder() const;
    std::string enginePicturePath() const { return scrapFolder() + "OMRin.BMP"; }
    std::string engineResultPath() const { return scrapFolder() + "OMRout.mro"; }

    // The picture.
    bool hasPicture() const { return picture_.width > 0; }
    const Mask& picture() const { return picture_; }
    bool openPicture(const std::string& path);
    bool savePicture(const std::string& path);
    bool rotate(bool clockwise);
    // An error box when there is nothing to print; true when there is.
    bool checkPrintable();

    // The scanner.
    bool scannerAvailable();
    std::vector<std::string> sources();
    bool selectSource(const std::string& name);
    const std::string& source() const { return source_; }
    // Scans a page; `progress` as Scanner::acquire. Safe to run off the
    // window's thread: it touches nothing until acquired() takes the outcome.
    ScanOutcome scan(const std::function<bool(int)>& progress);
    // Takes an outcome into the window (messages, picture, names).
    bool acquired(ScanOutcome outcome);
    bool acquire(const std::function<bool(int)>& progress = {});

    // Display.
    void setView(int width, int height);
    bool scaled() const { return scaled_; }
    void setScaled(bool on) { scaled_ = on; }
    // Where the picture lies in the picture area.
    ViewRect displayed() const;

    // Cropping, in displayed pixels from the picture's top-left corner.
    CropState cropState() const;
    bool defineCrop();
    void cropPress(int x, int y);
    void cropMove(int x, int y);
    void cropRelease(int x, int y);
    ViewRect cropRectangle() const;  // normalised and clipped to the picture
    bool crop();
    void abandonCrop();

    // Options. The DPI box takes a whole number above 0; anything else beeps
    // and shows "?" (the conversion then works at 300).
    const std::string& setDpiText(const std::string& text);
    const std::string& dpiText() const { return dpiText_; }
    ScanOptions& options() { return options_; }
    int beeps() const { return beeps_; }

    // The engine.
    bool engineAvailable() const { return !config_.engine.empty(); }
    bool interpret();
    bool running() const { return running_; }
    void abort();
    void engineLine(const std::string& line);
    void engineFinished(int exitCode, bool normalExit);
    ScanGauge& gauge() { return gauge_; }
    const std::string& engineLabel() const { return engineLabel_; }
    bool reinterpret();
    void setPaperFitAsker(PaperFitAsker ask) { ask_ = std::move(ask); }
    bool diagnostics() const { return config_.diagnostics; }

    void clear();

    // The summary panel.
    bool summaryShown() const { return summary_; }
    const RecognitionCounts& counts() const { return counts_; }
    void summaryOk() { summary_ = false; }
    void summaryCancel();
    // The score the main window opens on Exit & Return: one converted and
    // not abandoned.
    std::optional<std::string> exitAndReturn() const;

  private:
    void setNames(const std::string& picturePath);
    bool writePicture(const std::string& path);
    bool convertResult();

    ImportConfig config_;
    Host& host_;
    const TextMeasurer& measurer_;
    Scanner* scanner_;
    EngineRunner* engine_;
    Mask picture_;
    std::string scoreName_ = "Scanned.swn", folder_, source_, dpiText_, engineLabel_;
    ScanOptions options_;
    bool scaled_ = true;
    int viewWidth_ = 800, viewHeight_ = 600;
    CropState crop_ = CropState::None;
    int cropX1_ = 0, cropY1_ = 0, cropX2_ = 0, cropY2_ = 0;
    int beeps_ = 0;
    ScanGauge gauge_;
    bool running_ = false, done_ = false, aborted_ = false;
    bool summary_ = false, converted_ = false, abandoned_ = false;
    std::string convertedPath_;
    RecognitionCounts counts_;
    RecognitionTables tables_;
    Score score_;
    PaperFitAsker ask_;
};

// The summary counts as one JSON object, by the summary's captions.
std::string CountsJson(const RecognitionCounts& c);

// The picture turned by a quarter: clockwise, or anticlockwise.
Mask RotateQuarter(const Mask& in, bool clockwise);
// The part of the picture from (x, y), `width` × `height` pixels (clipped).
Mask CropMask(const Mask& in, int x, int y, int width, int height);

}  // namespace sw
