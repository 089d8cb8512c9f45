// The sound output that plays a MIDI file: the editor's playback reaches the
// synthesiser only through this, so tests stand a fake in for it.
#pragma once

#include <string>

namespace sw {

class MidiPlayer {
  public:
    enum class Status { Playing, NoOutput, NoSoundFont, BadFile };
    virtual ~MidiPlayer() = default;
    // Starts playing the file from its beginning; anything not Playing means
    // nothing started, and problem() says why in a sentence for the user.
    virtual Status play(const std::string& midiPath) = 0;
    virtual void stop() = 0;
    // Polled from the window's timer: false once the music has ended (or
    // was stopped).
    virtual bool playing() = 0;
    virtual std::string problem() const = 0;
};

}  // namespace sw
