// FluidSynth behind the MidiPlayer interface, and its file renderer.
#include "platform/FluidSynth.h"

#include <fluidsynth.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace sw {

namespace {

// FluidSynth prints every failed driver it tries; the user gets one message
// of ours instead.
void QuietLog(int, const char*, void*) {}

void Quieten() {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, QuietLog, nullptr);
}

bool Readable(const std::string& path) {
    return !path.empty() && ::access(path.c_str(), R_OK) == 0;
}

// A reverb and chorus tail longer than this is cut off.
constexpr int kMaxTailSeconds = 10;
constexpr int kSampleRate = 44100;

}  // namespace

const std::vector<std::string>& DefaultSoundFonts() {
    static const std::vector<std::string> fonts{"/usr/share/sounds/sf2/default-GM.sf2",
                                                "/usr/share/sounds/sf2/TimGM6mb.sf2",
                                                "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
    return fonts;
}

std::string FindSoundFont(const std::string& configured) {
    if (!configured.empty()) return Readable(configured) ? configured : std::string();
    for (const std::string& f : DefaultSoundFonts())
        if (Readable(f)) return f;
    return {};
}

std::vector<std::string> AudioDrivers(const std::string& configured) {
    if (!configured.empty()) return {configured};
    return {"pulseaudio", "alsa", "jack"};
}

// The synthesiser with its settings, output and player, released in order.
struct FluidEngine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* player = nullptr;
    bool fontLoaded = false;

    ~FluidEngine() {
        // The driver's thread runs the player's callback: it goes first, so
        // nothing is inside the player when the player is deleted.
        if (driver) delete_fluid_audio_driver(driver);
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
    void dropPlayer() {
        if (!player) return;
        fluid_player_stop(player);
        // The player ticks on a timer inside the synthesiser, which the
        // driver's thread walks while it renders; deleting the player removes
        // that timer unguarded. So the driver goes first (its thread is joined)
        // and the next play opens it again.
        if (driver) {
            delete_fluid_audio_driver(driver);
            driver = nullptr;
        }
        delete_fluid_player(player);
        player = nullptr;
        fluid_synth_all_sounds_off(synth, -1);
    }
};

FluidPlayer::FluidPlayer(SoundConfig config) : config_(std::move(config)) {}

FluidPlayer::~FluidPlayer() = default;

MidiPlayer::Status FluidPlayer::prepare() {
    if (!engine_) {
        Quieten();
        engine_ = std::make_unique<FluidEngine>();
        engine_->settings = new_fluid_settings();
        if (engine_->settings) engine_->synth = new_fluid_synth(engine_->settings);
    }
    FluidEngine& e = *engine_;
    if (!e.synth) {
        problem_ = "The synthesiser could not be started.";
        return Status::NoOutput;
    }
    if (!e.fontLoaded) {
        const std::string font = FindSoundFont(config_.soundFont);
        if (font.empty() || fluid_synth_sfload(e.synth, font.c_str(), 1) == FLUID_FAILED) {
            problem_ = config_.soundFont.empty()
                           ? "No General MIDI sound font was found in /usr/share/sounds/sf2."
                           : "The sound font " + config_.soundFont + " cannot be loaded.";
            return Status::NoSoundFont;
        }
        e.fontLoaded = true;
    }
    if (!e.driver) {
        // A JACK server is never started just to play a tune.
        setenv("JACK_NO_START_SERVER", "1", 1);
        for (const std::string& name : AudioDrivers(config_.audioDriver)) {
            fluid_settings_setstr(e.settings, "audio.driver", name.c_str());
            e.driver = new_fluid_audio_driver(e.settings, e.synth);
            if (e.driver) break;
        }
        if (!e.driver) {
            problem_ = "No sound output could be opened.";
            return Status::NoOutput;
        }
    }
    return Status::Playing;
}

MidiPlayer::Status FluidPlayer::play(const std::string& midiPath) {
    stop();
    problem_.clear();
    const Status ready = prepare();
    if (ready != Status::Playing) return ready;
    FluidEngine& e = *engine_;
    if (!fluid_is_midifile(midiPath.c_str())) {
        problem_ = midiPath + " is not a MIDI file.";
        return Status::BadFile;
    }
    e.player = new_fluid_player(e.synth);
    if (!e.player || fluid_player_add(e.player, midiPath.c_str()) != FLUID_OK ||
        fluid_player_play(e.player) != FLUID_OK) {
        e.dropPlayer();
        problem_ = midiPath + " cannot be played.";
        return Status::BadFile;
    }
    return Status::Playing;
}

void FluidPlayer::stop() {
    if (engine_) engine_->dropPlayer();
}

bool FluidPlayer::playing() {
    if (!engine_ || !engine_->player) return false;
    if (fluid_player_get_status(engine_->player) == FLUID_PLAYER_PLAYING) return true;
    engine_->dropPlayer();
    return false;
}

bool RenderMidiToWav(const std::string& midiPath, const std::string& wavPath,
                     const std::string& soundFont, std::string& error) {
    Quieten();
    if (!Readable(soundFont)) {
        error = "the sound font " + (soundFont.empty() ? std::string("(none found)") : soundFont) +
                " cannot be read";
        return false;
    }
    if (!fluid_is_midifile(midiPath.c_str())) {
        error = midiPath + " is not a MIDI file";
        return false;
    }
    // Rendered beside the target and renamed, so a failure leaves no file.
    std::string temp = wavPath + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot write beside " + wavPath;
        return false;
    }
    ::fchmod(fd, 0644);
    ::close(fd);
    FluidEngine e;
    e.settings = new_fluid_settings();
    bool ok = e.settings != nullptr;
    if (ok) {
        fluid_settings_setstr(e.settings, "audio.file.name", temp.c_str());
        fluid_settings_setstr(e.settings, "audio.file.type", "wav");
        fluid_settings_setstr(e.settings, "audio.file.format", "s16");
        fluid_settings_setnum(e.settings, "synth.sample-rate", kSampleRate);
        fluid_settings_setstr(e.settings, "player.timing-source", "sample");
        fluid_settings_setint(e.settings, "synth.lock-memory", 0);
        e.synth = new_fluid_synth(e.settings);
        ok = e.synth && fluid_synth_sfload(e.synth, soundFont.c_str(), 1) != FLUID_FAILED;
        if (!ok) error = "the sound font " + soundFont + " cannot be loaded";
    }
    fluid_file_renderer_t* renderer = nullptr;
    if (ok) {
        e.player = new_fluid_player(e.synth);
        ok = e.player && fluid_player_add(e.player, midiPath.c_str()) == FLUID_OK &&
             fluid_player_play(e.player) == FLUID_OK;
        if (ok) renderer = new_fluid_file_renderer(e.synth);
        ok = ok && renderer;
        if (!ok && error.empty()) error = "the music cannot be rendered";
    }
    if (ok) {
        int period = 64;
        fluid_settings_getint(e.settings, "audio.period-size", &period);
        while (ok && fluid_player_get_status(e.player) == FLUID_PLAYER_PLAYING)
            ok = fluid_file_renderer_process_block(renderer) == FLUID_OK;
        // The last notes ring on until their voices have died away.
        const long tailBlocks = static_cast<long>(kMaxTailSeconds) * kSampleRate / period;
        for (long b = 0; ok && b < tailBlocks && fluid_synth_get_active_voice_count(e.synth) > 0;
             ++b)
            ok = fluid_file_renderer_process_block(renderer) == FLUID_OK;
        if (!ok) error = "the WAV file could not be written";
    }
    if (renderer) delete_fluid_file_renderer(renderer);  // completes the file's header
    if (ok && std::rename(temp.c_str(), wavPath.c_str()) != 0) {
        error = "cannot write " + wavPath;
        ok = false;
    }
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace sw
