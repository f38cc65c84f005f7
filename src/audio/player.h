#pragma once

#include "audio/bass.h"

#include <functional>
#include <string>

namespace vokrin::audio {

// The time of day that a playback position of `seconds` reads as, as a fraction of a
// day (hours / 24 + minutes / 1440 + seconds / 86400, every part truncated toward zero,
// no milliseconds). A time that cannot be formed (negative, not a number, 24 hours or
// more) gives 0.
double positionTimeFromSeconds(double seconds);

// The player of the main window: one current stream on which Play, the lyric jump and
// the wizard all work. Paths are file-system paths in the local 8-bit encoding.
class Player
{
public:
    struct Hooks
    {
        // Right after a file opened as a stream or module: the effect chain goes on it.
        std::function<void(DWORD handle)> attachEffects;
        // The file opened neither way (the window shows its message box).
        std::function<void()> reportUnplayable;
        // PlayFile resumes output; the pause button must pop up without its click action.
        std::function<void()> releasePauseButton;
    };

    Player() = default;
    explicit Player(Hooks hooks) : m_hooks(std::move(hooks)) {}
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // The current stream; 0 when none is open.
    DWORD stream() const { return m_stream; }
    DWORD &streamHandle() { return m_stream; }
    // The file last opened on the current stream (as given, local 8-bit encoding); empty
    // when that open failed or nothing was opened yet.
    const std::string &streamPath() const { return m_streamPath; }

    // Frees what `handle` holds, opens `path` as a stream (effects allowed), else as a
    // music module, and stores the result in `handle` (0 when neither worked, after the
    // unplayable report). A handle that opened gets the effect chain, unless it is only
    // opened to read its tags (`withEffects` false): a chain there would take the
    // window's effect handles away from the track that is playing.
    void OpenStream(const std::string &path, DWORD &handle, bool withEffects = true);
    // Resumes output, releases the pause button, opens `path` on the current stream and
    // starts it from its beginning.
    void PlayFile(const std::string &path);
    static void StopChannel(DWORD handle);

    // The heard position of the current stream in bytes; 0 without a stream.
    QWORD GetPosition() const;
    // The current position as a time of day (see positionTimeFromSeconds).
    double GetPositionTime() const;

    // The pause button's action: halts or resumes all output of the engine.
    static void SetPaused(bool paused);
    // The master output volume, 0..100; it holds for every stream.
    static void SetVolume(int volume);
    // The balance of the current stream only, -100..100.
    void SetPan(int pan) const;

private:
    Hooks m_hooks;
    DWORD m_stream = 0;
    std::string m_streamPath;
};

} // namespace vokrin::audio
