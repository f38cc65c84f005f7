#pragma once
// Engine options the program never sets; tests use them to run the engine on a clock
// they control.
//
// The manual clock replaces the real-time clock of device 0 ("no sound"):
//
//     vokrin::engine::setManualClock(true);        // before BASS_Init
//     BASS_Init(0, 44100, 0, nullptr, nullptr);
//     HSTREAM s = BASS_StreamCreateFile(FALSE, path, 0, 0, BASS_SAMPLE_FX);
//     BASS_ChannelPlay(s, FALSE);
//     vokrin::engine::advanceManualClock(4410);    // 100 ms of playback
//     BASS_ChannelGetPosition(s);                  // exactly 4410 frames in, as bytes
//
// advanceManualClock decodes what the playing channels need and runs the mixer
// synchronously on the calling thread, so positions, channel states and the rendered
// audio depend only on the frames advanced. The device has no latency: the heard
// position is the mixed one. While the output is halted (BASS_Pause/BASS_Stop) the
// clock advances but channels do not move and the output is silent.

namespace vokrin::engine {

// Chooses the manual clock for the next BASS_Init(0, ...). Off by default; the
// setting stays until changed.
void setManualClock(bool manual);

// Advances the manual clock by `frames` device frames. When `stereoOut` is not null it
// receives frames x 2 interleaved floats: what a real device would have played (after
// effects, pan and master volume). false when the engine is not running on the
// manual clock.
bool advanceManualClock(int frames, float *stereoOut = nullptr);

} // namespace vokrin::engine
