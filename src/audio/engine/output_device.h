#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vokrin::engine {

// Pulls stereo float frames from the mixer. Called on the device's thread.
using RenderFn = std::function<void(float *stereo, int frames)>;

// Where mixed audio goes. All methods are called under the engine's lock.
class OutputDevice
{
public:
    virtual ~OutputDevice() = default;
    virtual int rate() const = 0;
    virtual bool start() = 0; // (re)starts pulling
    virtual void pause() = 0; // stops pulling; the device stays open
    // Device frames between the last frame the mixer produced and the one heard now.
    virtual uint64_t latencyFrames() const = 0;
};

enum class DeviceError { None, NoDevice, Driver };

// The system's default output through SDL2. Null (with the reason) when there is no
// output device or no sound server.
std::unique_ptr<OutputDevice> openSdlOutput(int rate, RenderFn render, DeviceError &error);

// No sound: a thread of ours pulls the mixer in real time and drops what it gets.
std::unique_ptr<OutputDevice> openRealtimeClock(int rate, RenderFn render);

// No sound, no thread: the engine's manual clock advances it (tests only).
std::unique_ptr<OutputDevice> openManualClock(int rate);

} // namespace vokrin::engine
