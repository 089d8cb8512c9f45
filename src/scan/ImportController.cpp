// The scan window's logic: picture operations on the decoded 1-bit page, the
// crop rectangle, the DPI rule, the engine run and the result's conversion.
#include "scan/ImportController.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/AtomicFile.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "fileio/ScoreFile.h"
#include "scan/ResultConversion.h"

namespace sw {

namespace {

constexpr int kSmallestPicture = 11;  // pixels a side; less is a broken scanner
constexpr int kSmallestCrop = 19;     // displayed pixels a side that are refused

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// True for a BMP header whose pixels are not 1 bit deep: a picture, but not
// one the engine can read.
bool DeeperBmp(const std::string& bytes) {
    if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const int bits = static_cast<uint8_t>(bytes[28]) | (static_cast<uint8_t>(bytes[29]) << 8);
    return bits != 1;
}

bool MakeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace

std::string CountsJson(const RecognitionCounts& c) {
    auto item = [](const char* name, int n) {
        return "\"" + std::string(name) + "\": " + std::to_string(n);
    };
    return "{" + item("Systems", c.systems) + ", " + item("Staves", c.staves) + ", " +
           item("Bars", c.bars) + ", " + item("Notes", c.notes) + ", " + item("Curves", c.curves) +
           ", " + item("Clefs", c.clefs) + ", " + item("Keysigs", c.keysigs) + ", " +
           item("Words", c.words) + ", " + item("Timesigs", c.timesigs) + "}";
}

void ScanGauge::reset() {
    position_ = target_ = 0;
    interval_ = kStepMs;
    running_ = false;
}

void ScanGauge::setTarget(int percent) {
    target_ = percent;
    if (percent > 0) {
        running_ = true;
        interval_ = kStepMs;
    }
}

void ScanGauge::tick() {
    if (!running_) return;
    position_ = position_ >= 100 ? 0 : position_ + 1;
    if (position_ == target_ - 1) interval_ = randomBelow_ ? randomBelow_(kIdleBelowMs) : kStepMs;
}

bool SaneGreyToMask(const std::string& data, int width, int bytesPerLine, int depth, Mask& out) {
    if (width <= 0 || bytesPerLine <= 0 || (depth != 1 && depth != 8 && depth != 16)) return false;
    if (static_cast<long long>(width) * depth > static_cast<long long>(bytesPerLine) * 8)
        return false;
    const long long lines = static_cast<long long>(data.size()) / bytesPerLine;
    if (lines <= 0 || lines * width > kMostScanPixels) return false;
    out.width = width;
    out.height = static_cast<int>(lines);
    out.ink.assign(static_cast<std::size_t>(lines * width), 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    for (long long y = 0; y < lines; ++y) {
        const uint8_t* row = bytes + y * bytesPerLine;
        uint8_t* ink = out.ink.data() + y * width;
        for (int x = 0; x < width; ++x) {
            if (depth == 1) {
                ink[x] = (row[x / 8] >> (7 - x % 8)) & 1;
            } else if (depth == 8) {
                ink[x] = row[x] < 128;
            } else {
                uint16_t v;
                std::memcpy(&v, row + 2 * x, 2);
                ink[x] = v < 32768;
            }
        }
    }
    return true;
}

Mask RotateQuarter(const Mask& in, bool clockwise) {
    Mask out;
    out.width = in.height;
    out.height = in.width;
    out.ink.assign(in.ink.size(), 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int sx = clockwise ? y : in.width - 1 - y;
            const int sy = clockwise ? in.height - 1 - x : x;
            out.ink[static_cast<std::size_t>(y * out.width + x)] = in.at(sx, sy) ? 1 : 0;
        }
    return out;
}

Mask CropMask(const Mask& in, int x, int y, int width, int height) {
    x = std::clamp(x, 0, in.width);
    y = std::clamp(y, 0, in.height);
    width = std::clamp(width, 0, in.width - x);
    height = std::clamp(height, 0, in.height - y);
    Mask out;
    out.width = width;
    out.height = height;
    out.ink.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = y; row < y + height; ++row) {
        const auto first = in.ink.begin() + static_cast<std::ptrdiff_t>(row) * in.width + x;
        out.ink.insert(out.ink.end(), first, first + width);
    }
    return out;
}

ImportController::ImportController(ImportConfig config, Host& host, const TextMeasurer& measurer,
                                   Scanner* scanner, EngineRunner* engine,
                                   std::function<int(int)> randomBelow)
    : config_(std::move(config)),
      host_(host),
      measurer_(measurer),
      scanner_(scanner),
      engine_(engine),
      folder_(config_.scoreFolder),
      options_(config_.options),
      scaled_(config_.showScaled),
      gauge_(std::move(randomBelow)) {
    setDpiText(config_.dpiText);
    beeps_ = 0;
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

std::string ImportController::scorePath() const {
    return folder_ + scoreName_;
}

std::string ImportController::scrapFolder() const {
    std::string dir = config_.appDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + "VELTRO/SCRAP/";
}

void ImportController::setNames(const std::string& picturePath) {
    scoreName_ = ChangeExtension(FileNameOf(picturePath), ".SWN");
    folder_ = DirectoryOf(picturePath);
}

bool ImportController::openPicture(const std::string& path) {
    const std::optional<std::string> bytes = ReadWhole(path);
    Mask mask;
    uint32_t palette[2];
    if (bytes &&
        DecodeBmp1(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size(), mask, palette)) {
        picture_ = std::move(mask);
        crop_ = CropState::Ready;
        setNames(path);
        return true;
    }
    if (bytes && DeeperBmp(*bytes)) {
        host_.warning(MessageText(msg::NotMonochromeOpened), Buttons::OK);
        picture_ = Mask{};
        crop_ = CropState::None;
    } else {
        host_.message(MsgType::Error, FormatMessage(msg::NotReadableBmp, path), Buttons::OK);
    }
    return false;
}

bool ImportController::writePicture(const std::string& path) {
    const int error = WriteFileAtomically(path, EncodeBmp1(picture_, ScanResolution(dpiText_)));
    if (error == 0) return true;
    host_.message(MsgType::Error, path + ": " + WriteErrorText(error, true), Buttons::OK);
    return false;
}

bool ImportController::savePicture(const std::string& path) {
    if (!hasPicture() || !writePicture(path)) return false;
    setNames(path);
    return true;
}

bool ImportController::rotate(bool clockwise) {
    if (!hasPicture()) return false;
    picture_ = RotateQuarter(picture_, clockwise);
    if (crop_ != CropState::None) crop_ = CropState::Ready;
    return true;
}

bool ImportController::checkPrintable() {
    if (hasPicture()) return true;
    host_.message(MsgType::Error, MessageText(msg::NoBitmapToPrint), Buttons::OK);
    return false;
}

bool ImportController::scannerAvailable() {
    return !sources().empty();
}

std::vector<std::string> ImportController::sources() {
    return scanner_ ? scanner_->sources() : std::vector<std::string>{};
}

bool ImportController::selectSource(const std::string& name) {
    const std::vector<std::string> all = sources();
    if (std::find(all.begin(), all.end(), name) == all.end()) return false;
    source_ = name;
    return true;
}

ScanOutcome ImportController::scan(const std::function<bool(int)>& progress) {
    ScanOutcome none;
    if (!scanner_) return none;
    std::string device = source_;
    if (device.empty()) {
        const std::vector<std::string> all = scanner_->sources();
        if (all.empty()) return none;
        device = all.front();
    }
    return scanner_->acquire(
        device, ScanResolution(dpiText_), progress ? progress : [](int) { return true; });
}

bool ImportController::acquired(ScanOutcome outcome) {
    switch (outcome.status) {
        case ScanOutcome::Cancelled:
            host_.warning(MessageText(msg::ScanCancelled), Buttons::OK);
            return false;
        case ScanOutcome::NotMonochrome:
            host_.warning(MessageText(msg::NotMonochromeScanned), Buttons::OK);
            return false;
        case ScanOutcome::Failed:
            host_.message(MsgType::Error, MessageText(msg::ScanFailure), Buttons::OK);
            picture_ = Mask{};
            crop_ = CropState::None;
            return false;
        case ScanOutcome::Acquired:
            break;
    }
    const Mask& m = outcome.picture;
    if (m.width <= 0 || m.height <= 0 ||
        m.ink.size() != static_cast<std::size_t>(m.width) * static_cast<std::size_t>(m.height)) {
        host_.message(MsgType::Error, MessageText(msg::ScanFailure), Buttons::OK);
        return false;
    }
    if (m.width < kSmallestPicture || m.height < kSmallestPicture) {
        host_.message(MsgType::Error, FormatMessage(msg::ScanTooSmall, m.width, m.height),
                      Buttons::OK);
        return false;
    }
    picture_ = std::move(outcome.picture);
    crop_ = CropState::Ready;
    scoreName_ = "Scanned.swn";
    return true;
}

bool ImportController::acquire(const std::function<bool(int)>& progress) {
    return acquired(scan(progress));
}

void ImportController::setView(int width, int height) {
    viewWidth_ = std::max(1, width);
    viewHeight_ = std::max(1, height);
}

ViewRect ImportController::displayed() const {
    if (!hasPicture()) return {};
    if (!scaled_) return {0, 0, picture_.width, picture_.height};
    const double f =
        std::min(0.95 * viewHeight_ / picture_.height, 0.95 * viewWidth_ / picture_.width);
    const int w = std::max(1, static_cast<int>(std::lround(picture_.width * f)));
    const int h = std::max(1, static_cast<int>(std::lround(picture_.height * f)));
    return {(viewWidth_ - w) / 2, (viewHeight_ - h) / 2, w, h};
}

ImportController::CropState ImportController::cropState() const {
    return hasPicture() ? crop_ : CropState::None;
}

bool ImportController::defineCrop() {
    if (!hasPicture() || crop_ == CropState::None) return false;
    scaled_ = true;
    crop_ = CropState::Defining;
    cropX1_ = cropY1_ = cropX2_ = cropY2_ = 0;
    return true;
}

void ImportController::cropPress(int x, int y) {
    if (crop_ != CropState::Defining && crop_ != CropState::Defined) return;
    crop_ = CropState::Defining;
    cropX1_ = cropX2_ = x;
    cropY1_ = cropY2_ = y;
}

void ImportController::cropMove(int x, int y) {
    if (crop_ != CropState::Defining) return;
    cropX2_ = x;
    cropY2_ = y;
}

void ImportController::cropRelease(int x, int y) {
    if (crop_ != CropState::Defining) return;
    cropX2_ = x;
    cropY2_ = y;
    crop_ = CropState::Defined;
}

ViewRect ImportController::cropRectangle() const {
    const ViewRect shown = displayed();
    const int x1 = std::clamp(std::min(cropX1_, cropX2_), 0, shown.width);
    const int x2 = std::clamp(std::max(cropX1_, cropX2_), 0, shown.width);
    const int y1 = std::clamp(std::min(cropY1_, cropY2_), 0, shown.height);
    const int y2 = std::clamp(std::max(cropY1_, cropY2_), 0, shown.height);
    return {x1, y1, x2 - x1, y2 - y1};
}

bool ImportController::crop() {
    if (cropState() != CropState::Defined) return false;
    const ViewRect r = cropRectangle();
    if (r.width <= kSmallestCrop || r.height <= kSmallestCrop) {
        host_.message(MsgType::Error, MessageText(msg::CropTooSmall), Buttons::OK);
        return false;
    }
    const ViewRect shown = displayed();
    const double fx = static_cast<double>(picture_.width) / shown.width;
    const double fy = static_cast<double>(picture_.height) / shown.height;
    const int x1 = static_cast<int>(std::lround(r.x * fx));
    const int y1 = static_cast<int>(std::lround(r.y * fy));
    const int x2 = static_cast<int>(std::lround((r.x + r.width) * fx));
    const int y2 = static_cast<int>(std::lround((r.y + r.height) * fy));
    picture_ = CropMask(picture_, x1, y1, x2 - x1, y2 - y1);
    crop_ = CropState::Ready;
    return true;
}

void ImportController::abandonCrop() {
    if (crop_ == CropState::Defining || crop_ == CropState::Defined) crop_ = CropState::Ready;
}

const std::string& ImportController::setDpiText(const std::string& text) {
    const bool whole =
        !text.empty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (whole && text.find_first_not_of('0') != std::string::npos) {
        dpiText_ = text;
    } else {
        ++beeps_;
        dpiText_ = "?";
    }
    return dpiText_;
}

bool ImportController::interpret() {
    if (running_ || !hasPicture()) return false;
    std::string why = "the recognition engine is not installed";
    const std::string scrap = scrapFolder();
    if (!engineAvailable() || !engine_) {
        host_.message(MsgType::Error, FormatMessage(msg::EngineNotStarted, why), Buttons::OK);
        return false;
    }
    MakeFolder(scrap.substr(0, scrap.size() - std::string("SCRAP/").size()));
    MakeFolder(scrap);
    // The engine always reads the picture as it is now, and a result left
    // from an earlier run must never pass for this one's.
    if (!writePicture(enginePicturePath())) return false;
    if (::unlink(engineResultPath().c_str()) != 0 && errno != ENOENT) {
        host_.message(MsgType::Error, engineResultPath() + ": " + WriteErrorText(errno, false),
                      Buttons::OK);
        return false;
    }
    EngineOptions eo;
    eo.dpi = ScanResolution(dpiText_);
    eo.oldSymbols = options_.oldSymbols;
    eo.graceNotes = options_.graceNotes;
    eo.thinBeams = options_.thinBeams;
    eo.symmetricHeads = options_.symmetricHeads;
    eo.accents = options_.accents;
    gauge_.reset();
    engineLabel_.clear();
    done_ = aborted_ = false;
    running_ = true;
    if (!engine_->start(config_.engine,
                        EngineArguments(enginePicturePath(), engineResultPath(), eo), why)) {
        running_ = false;
        host_.message(MsgType::Error, FormatMessage(msg::EngineNotStarted, why), Buttons::OK);
        return false;
    }
    return true;
}

void ImportController::abort() {
    if (!running_) return;
    aborted_ = true;
    engine_->terminate();
}

void ImportController::engineLine(const std::string& line) {
    const EngineLine parsed = ParseEngineLine(line);
    if (parsed.kind == EngineLine::Done) {
        done_ = true;
    } else if (parsed.kind == EngineLine::Progress) {
        gauge_.setTarget(parsed.percent);
        engineLabel_ = "0," + std::to_string(parsed.percent);
    }
}

void ImportController::engineFinished(int exitCode, bool normalExit) {
    if (!running_) return;
    running_ = false;
    gauge_.stop();
    if (aborted_) return;
    if (done_ && normalExit && exitCode == 0 && Exists(engineResultPath())) {
        convertResult();
        return;
    }
    host_.warning(MessageText(msg::NoCompletionSignal), Buttons::OK);
}

bool ImportController::reinterpret() {
    if (running_) return false;
    return convertResult();
}

bool ImportController::convertResult() {
    const std::string target = scorePath();
    const std::string backup = BackupName(target);
    bool backedUp = false;
    if (Exists(engineResultPath()) && Exists(target)) {
        // The score would land on a file of the same name: the user decides,
        // and the old one is kept as Save keeps it.
        if (host_.message(MsgType::Confirmation,
                          FormatMessage(msg::ReplaceScannedScore, target, FileNameOf(backup)),
                          Buttons::YesNo) != Answer::Yes)
            return false;
        ::unlink(backup.c_str());
        if (::rename(target.c_str(), backup.c_str()) != 0) {
            host_.message(MsgType::Error, target + ": " + WriteErrorText(errno, false),
                          Buttons::OK);
            return false;
        }
        backedUp = true;
    }
    ConversionOptions co;
    co.dpiText = dpiText_;
    co.includeWords = options_.words;
    co.includeCurves = options_.curves;
    co.allowAccents = options_.accents;
    co.paper = config_.paper;
    counts_ = RecognitionCounts{};
    const ConversionOutcome outcome = ConvertRecognitionResult(
        engineResultPath(), target, co, tables_, score_, host_, measurer_, ask_);
    if (!outcome.ok) {
        if (backedUp && !Exists(target)) ::rename(backup.c_str(), target.c_str());
        return false;
    }
    counts_ = outcome.counts;
    summary_ = true;
    converted_ = true;
    abandoned_ = false;
    convertedPath_ = target;
    return true;
}

void ImportController::clear() {
    picture_ = Mask{};
    crop_ = CropState::None;
    counts_ = RecognitionCounts{};
    tables_ = RecognitionTables{};
    summary_ = false;
    converted_ = false;
    convertedPath_.clear();
}

void ImportController::summaryCancel() {
    summary_ = false;
    abandoned_ = true;
}

std::optional<std::string> ImportController::exitAndReturn() const {
    if (!converted_ || abandoned_ || !Exists(convertedPath_)) return std::nullopt;
    return convertedPath_;
}

}  // namespace sw
