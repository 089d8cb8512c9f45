// The synthesiser behind playback: a MidiPlayer on FluidSynth for the sound
// card, and the file renderer that turns a MIDI file into a WAV file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/MidiPlayer.h"

namespace sw {

// Where the sound comes from and goes to, as the settings name them; empty
// values take the defaults.
struct SoundConfig {
    std::string soundFont;    // Sound/Soundfont
    std::string audioDriver;  // Sound/AudioDriver
};

// The General MIDI sound fonts looked for when none is set, in order.
const std::vector<std::string>& DefaultSoundFonts();
// The sound font to load: the one set when it is readable, else the first
// default found; empty when there is none.
std::string FindSoundFont(const std::string& configured);
// The audio drivers tried in order: the one set, else PulseAudio, ALSA, JACK.
std::vector<std::string> AudioDrivers(const std::string& configured);

struct FluidEngine;

// One synthesiser for the whole run; its font is loaded and its audio
// output opened on the first play, and both stay for the next.
class FluidPlayer : public MidiPlayer {
  public:
    explicit FluidPlayer(SoundConfig config);
    ~FluidPlayer() override;
    FluidPlayer(const FluidPlayer&) = delete;
    FluidPlayer& operator=(const FluidPlayer&) = delete;

    Status play(const std::string& midiPath) override;
    void stop() override;
    bool playing() override;
    std::string problem() const override { return problem_; }

  private:
    Status prepare();

    SoundConfig config_;
    std::unique_ptr<FluidEngine> engine_;
    std::string problem_;
};

// Renders a MIDI file into a 16-bit 44.1 kHz WAV file without a sound card,
// until the last note has died away. The file appears whole or not at all;
// false with the reason in `error`.
bool RenderMidiToWav(const std::string& midiPath, const std::string& wavPath,
                     const std::string& soundFont, std::string& error);

}  // namespace sw
