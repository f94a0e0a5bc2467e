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

// Plays rendered speech, beside the ring sounds rather than in their place: a ring sound does
// not cut a name being spoken, nor the other way round. True when it played to its end.
bool playSpeech(const QString &fileName);
// Cuts the speech playing short (the speech engine's end).
void stopSpeech();

// The recording output takes a text that is about to be spoken: it notes the line
// "speak: TEXT" (backslashes, carriage returns and line feeds written as \\, \r and \n); the
// sound playing goes on, as it does beside real speech. True when it took the text, so nothing
// is to be spoken; false for every other output.
bool recordSpeech(const QString &text);

} // namespace SoundPlayer
