#pragma once

#include <QString>

#include <memory>

// An output for SoundPlayer. play() blocks until the sound has ended; starting a sound cuts
// short the one that is playing, from whatever thread either was started.
class SoundSink
{
public:
    virtual ~SoundSink() = default;
    virtual bool play(const QString &fileName) = 0;
    virtual void stopAll() = 0;
    // Takes a text about to be spoken instead of the speech engine; false when this output
    // wants the speech itself.
    virtual bool recordSpeech(const QString &) { return false; }
    // Spoken texts have an output of their own beside the ring sounds: neither cuts the other.
    // One text plays at a time; the next waits for its end.
    virtual bool playSpeech(const QString &) { return false; }
    virtual void stopSpeech() {}
};

// The desktop's sound output, from the OS backend file.
std::unique_ptr<SoundSink> createSystemSoundSink();
