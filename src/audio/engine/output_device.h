#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vokrin::engine {

// Pulls stereo float frames from the mixer. Called on the device's thread.
using RenderFn = std::function<void(float *stereo, int frames)>;

// Where mixed audio goes. start() and pause() are called under the engine's lock; the
// clock readings (heardFrames, lost, losses) may come from any thread at any time and
// never wait for the device's thread.
class OutputDevice
{
public:
    virtual ~OutputDevice() = default;
    virtual int rate() const = 0;
    virtual bool start() = 0; // (re)starts pulling
    virtual void pause() = 0; // stops pulling; the device stays open
    // How many of the frames pulled from the mixer since the device opened the listener
    // has heard by now. Never goes back. A device without delay returns UINT64_MAX
    // ("everything pulled").
    virtual uint64_t heardFrames() const = 0;
    // The output has lost its sound server and is waiting for one to answer again;
    // nothing is pulled meanwhile, and heardFrames() stands still.
    virtual bool lost() const { return false; }
    // How many times the output has been lost since it opened.
    virtual uint64_t losses() const { return 0; }
};

enum class DeviceError { None, NoDevice, Driver };

// Opens the sound output (device 1 and -1 of BASS_Init) at a rate. The engine's own
// choice is openSoundOutput; tests may give an engine another.
using OutputFactory = std::function<std::unique_ptr<OutputDevice>(int rate, RenderFn render)>;

// The sound server where one answers, else SDL2. Null when neither opens.
std::unique_ptr<OutputDevice> openSoundOutput(int rate, RenderFn render);

// The sound server through PulseAudio's client library (PipeWire serves it too). Null
// when no server answers. Once open, a lost server is reconnected every second.
std::unique_ptr<OutputDevice> openPulseOutput(int rate, RenderFn render);

// The system's default output through SDL2. Null (with the reason) when there is no
// output device or no sound server.
std::unique_ptr<OutputDevice> openSdlOutput(int rate, RenderFn render, DeviceError &error);

// No sound: a thread of ours pulls the mixer in real time and drops what it gets.
std::unique_ptr<OutputDevice> openRealtimeClock(int rate, RenderFn render);

// No sound, no thread: the engine's manual clock advances it (tests only).
std::unique_ptr<OutputDevice> openManualClock(int rate);

} // namespace vokrin::engine
