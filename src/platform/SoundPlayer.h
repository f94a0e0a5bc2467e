#pragma once

#include <QString>

// Plays wave files, one at a time for the whole process: starting a sound cuts short the one
// that is playing. play() runs on the calling thread and returns when its sound has ended.
//
// The output is chosen once, from TELLWISE_SOUND_SINK:
//   unset or "system"  the desktop's sound output
//   "record:<file>"    nothing is heard; each sound's file name is appended as one line to
//                      <file>, and the call lasts as long as the wave file's data would play;
//                      each spoken text is appended as "speak: TEXT" and nothing is rendered
//   "none"             nothing is played
namespace SoundPlayer {

// True when the sound played to its end; false when a newer sound cut it short or it could
// not be played (missing or unreadable file, no sound output).
bool play(const QString &fileName);

// Stops whatever is playing (the program's end).
void stopAll();

// The recording output takes a text that is about to be spoken: it notes the line
// "speak: TEXT" (backslashes, carriage returns and line feeds written as \\, \r and \n) and
// ends the sound playing, as speech would. True when it took the text, so nothing is to be
// spoken; false for every other output.
bool recordSpeech(const QString &text);

} // namespace SoundPlayer
