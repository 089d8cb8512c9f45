// The "Play music" window's logic, one for the whole run: its settings (kept
// in the settings as they change, or in the score for those the file keeps),
// playing the active document's range through the MidiPlayer, Save Midi, the
// instrument and temperament choosers. The widget only shows this state.
// Sound/Stave says whether an instrument of the list (Sound/Lastpatch)
// replaces every stave's own.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/Actions.h"
#include "playback/Performance.h"

namespace sw {

class DocumentController;
class DocumentDialogs;
class Host;
class MidiPlayer;
class WarningBox;
struct Settings;

class PlayWindow {
  public:
    static constexpr const char* kCaption = "Play music";
    static constexpr std::array<const char*, 5> kRanges = {
        "&One stave", "&Braced staves", "This S&ystem", "This &page", "&Whole piece"};
    static constexpr const char* kContinueOn = "&& o&n";
    static constexpr const char* kRepeats = "&Repeats";
    static constexpr const char* kDotted = "Press to measure tempo in dotted crotchets";
    static constexpr const char* kInstrument = " &Instrumental sound  ";
    static constexpr const char* kDefinedInStave = "(Defined in stave)";
    static constexpr const char* kProximity = "Pro&ximity";
    static constexpr const char* kGraceNotes = "Incl&ude grace notes";
    static constexpr const char* kLess = "Less &>>";
    static constexpr int kMinTempo = 30, kMaxTempo = 240;
    static constexpr int kMaxVolume = 8;
    static constexpr int kFavouritesListed = 4;

    PlayWindow(Settings& settings, Host& host, WarningBox& warnings, DocumentDialogs& dialogs,
               MidiPlayer& player, std::string appDir);
    // Playback stops and its file goes with the window.
    ~PlayWindow();
    PlayWindow(const PlayWindow&) = delete;
    PlayWindow& operator=(const PlayWindow&) = delete;

    // The document playback concerns; null when it closes (playback stops and
    // the window hides).
    void setDocument(DocumentController* d);
    // F2: shows the window, else starts playback, else stops it.
    void f2(DocumentController& d);
    // Play System, Play whole score and the stave play command.
    void playRange(DocumentController& d, int range);
    // The window's buttons as actions; false when the button is greyed out.
    bool run(Action a, bool ctrl = false);
    bool canRun(Action a) const;
    // The window came to the front again: its values are shown afresh.
    void activate();
    // The UI timer: notices the end of the music.
    void tick();

    bool play();
    void stop();
    void close();
    void saveMidi();
    void more();
    void moreSounds();
    void chooseTemperament(bool ctrl);

    // --- what the window shows
    bool shown() const { return shown_; }
    bool playing() const { return playing_; }
    bool expanded() const { return expanded_; }
    bool closesOnEsc() const { return !playing_; }
    // The caption of the More/Less button.
    const char* moreCaption() const;
    int range() const { return range_; }
    bool continueOn() const { return continueOn_; }
    bool repeats() const { return repeats_; }
    bool dotted() const { return dotted_; }
    int tempo() const;  // in the unit the dotted button chooses
    int volumePosition() const;
    int velocity() const;
    int instrument() const { return instrument_; }  // 0: each stave's own; 1..129
    // The instrument list: "(Defined in stave)", the first favourites and
    // the chosen one when it is not among them; value 0..129 and caption.
    std::vector<std::pair<int, std::string>> instruments() const;
    int proximity() const;
    bool graceNotes() const;
    int temperament() const;
    // The file being played; empty when none.
    const std::string& playbackFile() const { return file_; }
    // The heights the window passes through on its way from one size to the other.
    std::vector<int> resizeSteps(int from, int to) const;

    // --- the window's controls (values out of range are brought into it)
    void setRange(int range);
    void setContinueOn(bool on);
    void setRepeats(bool on);
    void setDotted(bool on);
    void setTempo(int shown);
    void setVolumePosition(int position);
    void setInstrument(int instrument);
    void setProximity(int proximity);
    void setGraceNotes(bool on);

    // Called after every change of state, for the widget to show it.
    std::function<void()> changed;

  private:
    // What the window's settings ask of performance generation, around the
    // score's current stave.
    PlaybackOptions options(const Score& score) const;
    // The music ended (normally, or by a failure or stop): buttons back,
    // file gone, options panel back, and after a normal end the hint.
    void finish(bool normal);
    void notify();
    bool startFile(const std::string& path, bool owned);
    void remember();
    void modified();

    Settings& settings_;
    Host& host_;
    WarningBox& warnings_;
    DocumentDialogs& dialogs_;
    MidiPlayer& player_;
    std::string appDir_;
    DocumentController* doc_ = nullptr;
    bool shown_ = false, playing_ = false, expanded_ = true, reopen_ = false;
    int range_ = 0;
    bool continueOn_ = false, repeats_ = false, dotted_ = false;
    int instrument_ = 0;
    std::string file_;
    bool ownsFile_ = false;
    int stavesPlayed_ = 0;
};

}  // namespace sw
