// The play window's logic.
#include "editor/PlayWindow.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/Settings.h"
#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/MidiPlayer.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/PlaybackDialogs.h"
#include "playback/MidiWriter.h"
#include "playback/PlayRange.h"

namespace sw {

namespace {

// The hint after playback is for every user level until it is turned off.
constexpr int kHintLevelBound = 5;
constexpr int kVelocityStep = 16;

}  // namespace

PlayWindow::PlayWindow(Settings& settings, Host& host, WarningBox& warnings,
                       DocumentDialogs& dialogs, MidiPlayer& player, std::string appDir)
    : settings_(settings),
      host_(host),
      warnings_(warnings),
      dialogs_(dialogs),
      player_(player),
      appDir_(std::move(appDir)) {
    activate();
    expanded_ = settings_.playFull;
}

PlayWindow::~PlayWindow() {
    if (playing_) player_.stop();
    if (ownsFile_ && !file_.empty()) std::remove(file_.c_str());
}

// The remembered values are the settings themselves, written as each one
// changes, so coming to the front again loses nothing just set.
void PlayWindow::activate() {
    range_ = std::clamp(settings_.what % 10, 0, 4);
    continueOn_ = settings_.what >= 10 || settings_.continuing;
    instrument_ = settings_.soundStave ? std::clamp(settings_.lastPatch, 1, 129) : 0;
    notify();
}

void PlayWindow::remember() {
    settings_.what = range_ + (continueOn_ ? 10 : 0);
    settings_.continuing = continueOn_;
    settings_.soundStave = instrument_ != 0;
    if (instrument_ > 0) settings_.lastPatch = instrument_;
    settings_.playFull = expanded_ || (playing_ && reopen_);
}

void PlayWindow::notify() {
    if (changed) changed();
}

void PlayWindow::modified() {
    if (doc_) doc_->setModified(true);
}

void PlayWindow::setDocument(DocumentController* d) {
    if (d == doc_) return;
    if (playing_) stop();
    doc_ = d;
    if (!d) shown_ = false;
    notify();
}

void PlayWindow::f2(DocumentController& d) {
    setDocument(&d);
    if (!shown_) {
        shown_ = true;
        activate();
    } else if (playing_) {
        stop();
    } else {
        play();
    }
}

void PlayWindow::playRange(DocumentController& d, int range) {
    setDocument(&d);
    if (playing_) stop();
    setRange(range);
    shown_ = true;
    play();
}

bool PlayWindow::canRun(Action a) const {
    switch (a) {
        case Action::PlayButton:
            return shown_ && !playing_ && doc_;
        case Action::PlayStop:
            return shown_ && playing_;
        case Action::SaveMidi:
        case Action::PlayMore:
        case Action::MoreSounds:
        case Action::Temperament:
            return shown_ && doc_;
        case Action::PlayClose:
            return shown_;
        default:
            return false;
    }
}

bool PlayWindow::run(Action a, bool ctrl) {
    if (!canRun(a)) return false;
    switch (a) {
        case Action::PlayButton:
            play();
            break;
        case Action::PlayStop:
            stop();
            break;
        case Action::PlayClose:
            close();
            break;
        case Action::SaveMidi:
            saveMidi();
            break;
        case Action::PlayMore:
            more();
            break;
        case Action::MoreSounds:
            moreSounds();
            break;
        case Action::Temperament:
            chooseTemperament(ctrl);
            break;
        default:
            return false;
    }
    return true;
}

PlaybackOptions PlayWindow::options(const Score& score) const {
    const int current = std::clamp<int>(score.CurrentStave, 1, score.Nstaves);
    PlaybackOptions o = OptionsForRange(score, static_cast<PlayRange>(range_), current);
    o.continueOn = o.continueOn || continueOn_;
    o.repeats = repeats_;
    o.volume = velocity();
    o.instrument = instrument_;
    if (settings_.sound >= 1 && settings_.sound <= 128) o.defaultInstrument = settings_.sound;
    return o;
}

bool PlayWindow::play() {
    if (!doc_ || playing_) return false;
    Score& score = doc_->score();
    if (score.Nstaves < 1) return false;
    PlaybackOptions o = options(score);
    // The options panel is out of the way while the music plays.
    reopen_ = expanded_;
    expanded_ = false;
    const std::string file = CreatePlaybackFile();
    if (file.empty()) {
        const char* dir = std::getenv("TMPDIR");
        host_.message(MsgType::Error,
                      FormatMessage(msg::NoPlaybackFile, dir && *dir ? dir : "/tmp"), Buttons::OK);
        expanded_ = reopen_;
        notify();
        return false;
    }
    file_ = file;
    ownsFile_ = true;
    o.outputPath = file_;
    bool written = false;
    try {
        written = GeneratePerformance(score, host_, o);
    } catch (const MidiError& e) {
        host_.message(MsgType::Error, FormatMessage(msg::MidiCannotBeWritten, file_, e.what()),
                      Buttons::OK);
    }
    stavesPlayed_ = o.lastStave - o.firstStave + 1;
    if (!written) {
        finish(false);
        return false;
    }
    return startFile(file_, true);
}

bool PlayWindow::startFile(const std::string& path, bool owned) {
    file_ = path;
    ownsFile_ = owned;
    if (player_.play(path) != MidiPlayer::Status::Playing) {
        host_.message(MsgType::Warning, FormatMessage(msg::PlaybackCannotStart, player_.problem()),
                      Buttons::OK);
        finish(false);
        return false;
    }
    playing_ = true;
    notify();
    return true;
}

void PlayWindow::finish(bool normal) {
    playing_ = false;
    if (ownsFile_ && !file_.empty()) std::remove(file_.c_str());
    file_.clear();
    ownsFile_ = false;
    expanded_ = expanded_ || reopen_;
    reopen_ = false;
    notify();
    if (normal && stavesPlayed_ > 1)
        warnings_.show(host_, msg::PlaybackHint, kHintLevelBound, false);
}

void PlayWindow::tick() {
    if (playing_ && !player_.playing()) finish(true);
}

void PlayWindow::stop() {
    if (!playing_) return;
    player_.stop();
    stavesPlayed_ = 0;
    finish(false);
}

void PlayWindow::close() {
    stop();
    shown_ = false;
    remember();
    notify();
}

void PlayWindow::saveMidi() {
    if (!doc_) return;
    const bool whole = range_ == 4 || ((range_ == 2 || range_ == 3) && continueOn_);
    if (!whole && host_.message(MsgType::Confirmation, MessageText(msg::MidiNotWholePiece),
                                Buttons::YesAbort) != Answer::Yes)
        return;
    Score& score = doc_->score();
    if (score.Nstaves < 1) return;
    FileDialogSpec spec;
    spec.title = "Save Midi";
    spec.filter = "Midi files|*.MID";
    spec.defaultExtension = "MID";
    spec.directory = settings_.midiDirectory;
    const std::string stem = std::filesystem::path(doc_->documentName()).stem().string();
    spec.fileName = stem.empty() ? "NONAME" : stem;
    spec.overwritePrompt = true;
    const std::optional<std::string> path = host_.saveFileName(spec);
    if (!path) return;
    settings_.midiDirectory = std::filesystem::path(*path).parent_path().string();
    PlaybackOptions o = options(score);
    o.save = true;
    o.outputPath = *path;
    try {
        GeneratePerformance(score, host_, o);
    } catch (const MidiError& e) {
        host_.message(MsgType::Error, FormatMessage(msg::MidiCannotBeWritten, *path, e.what()),
                      Buttons::OK);
    }
}

const char* PlayWindow::moreCaption() const {
    return expanded_ ? kLess : Info(Action::PlayMore).caption;
}

void PlayWindow::more() {
    expanded_ = !expanded_;
    remember();
    notify();
}

std::vector<int> PlayWindow::resizeSteps(int from, int to) const {
    const int speed = std::clamp(settings_.expandSpeed, 1, 100);
    std::vector<int> steps;
    const int dir = to > from ? 1 : -1;
    for (int h = from + dir * speed; dir * (to - h) > 0; h += dir * speed)
        steps.push_back(h);
    steps.push_back(to);
    return steps;
}

void PlayWindow::moreSounds() {
    const std::optional<int> chosen =
        dialogs_.chooseInstrument(instrument_ > 0 ? instrument_ - 1 : -1);
    if (!chosen || *chosen < 0 || *chosen > InstrumentChooserModel::kSilence) return;
    setInstrument(*chosen + 1);
}

void PlayWindow::chooseTemperament(bool ctrl) {
    if (!doc_) return;
    if (!ctrl) {
        const std::optional<int> t = dialogs_.chooseTemperament(temperament());
        if (!t || *t < 0 || *t > 4 || *t == temperament()) return;
        doc_->score().temperament = static_cast<uint8_t>(*t);
        modified();
        notify();
        return;
    }
    // The demonstration with the current instrument, in the application
    // folder, or in a file of our own when that cannot be written.
    if (playing_) stop();
    const int program = instrument_ >= 1 && instrument_ <= 128 ? instrument_ : 1;
    const Tmidistream demo = TemperamentDemo(program);
    std::string path = appDir_.empty() ? std::string() : appDir_ + "/Temper.MID";
    bool owned = false;
    try {
        if (path.empty() || !DirectoryWritable(appDir_)) throw MidiError("read-only");
        demo.SaveTo(path);
    } catch (const MidiError&) {
        path = CreatePlaybackFile();
        owned = true;
        try {
            if (path.empty()) throw MidiError("no temporary folder");
            demo.SaveTo(path);
        } catch (const MidiError& e) {
            if (!path.empty()) std::remove(path.c_str());
            host_.message(MsgType::Error,
                          FormatMessage(msg::TemperDemoNotWritten, "Temper.MID", e.what()),
                          Buttons::OK);
            return;
        }
    }
    stavesPlayed_ = 0;
    reopen_ = expanded_;
    startFile(path, owned);
}

int PlayWindow::tempo() const {
    const int t = doc_ ? doc_->score().Tempo : 120;
    return dotted_ ? t * 2 / 3 : t;
}

int PlayWindow::volumePosition() const {
    return std::clamp((settings_.volume + 1) / kVelocityStep, 0, kMaxVolume);
}

int PlayWindow::velocity() const {
    return std::min(volumePosition() * kVelocityStep, 127);
}

std::vector<std::pair<int, std::string>> PlayWindow::instruments() const {
    std::vector<std::pair<int, std::string>> list{{0, kDefinedInStave}};
    bool listed = instrument_ == 0;
    for (int f : settings_.favouritePrograms) {
        if (static_cast<int>(list.size()) > kFavouritesListed) break;
        if (f < 1 || f > 129) continue;
        list.emplace_back(f, InstrumentChooserModel::Name(f - 1));
        listed = listed || f == instrument_;
    }
    if (!listed) list.emplace_back(instrument_, InstrumentChooserModel::Name(instrument_ - 1));
    return list;
}

int PlayWindow::proximity() const {
    return doc_ ? doc_->score().proximity : settings_.proximity;
}

bool PlayWindow::graceNotes() const {
    return doc_ ? doc_->score().includeGraceNotes : settings_.graceNotes;
}

int PlayWindow::temperament() const {
    return doc_ ? doc_->score().temperament : 0;
}

void PlayWindow::setRange(int range) {
    range_ = std::clamp(range, 0, 4);
    remember();
    notify();
}

void PlayWindow::setContinueOn(bool on) {
    continueOn_ = on;
    remember();
    notify();
}

void PlayWindow::setRepeats(bool on) {
    repeats_ = on;
    notify();
}

void PlayWindow::setDotted(bool on) {
    dotted_ = on;
    notify();
}

void PlayWindow::setTempo(int shown) {
    if (!doc_) return;
    shown = std::clamp(shown, kMinTempo, kMaxTempo);
    const int crotchets = dotted_ ? shown * 3 / 2 : shown;
    Score& score = doc_->score();
    if (crotchets != score.Tempo) {
        score.Tempo = static_cast<uint16_t>(crotchets);
        modified();
    }
    notify();
}

void PlayWindow::setVolumePosition(int position) {
    settings_.volume = std::min(std::clamp(position, 0, kMaxVolume) * kVelocityStep, 127);
    notify();
}

void PlayWindow::setInstrument(int instrument) {
    instrument_ = std::clamp(instrument, 0, 129);
    remember();
    notify();
}

void PlayWindow::setProximity(int proximity) {
    proximity = std::clamp(proximity, 1, 20);
    settings_.proximity = proximity;
    if (!doc_ || doc_->score().proximity == proximity) return;
    doc_->score().proximity = static_cast<uint8_t>(proximity);
    modified();
    notify();
}

void PlayWindow::setGraceNotes(bool on) {
    settings_.graceNotes = on;
    if (!doc_ || doc_->score().includeGraceNotes == on) return;
    doc_->score().includeGraceNotes = on;
    modified();
    notify();
}

}  // namespace sw
