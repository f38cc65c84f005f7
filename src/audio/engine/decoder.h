#pragma once

#include "downmix.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vokrin::engine {

// Finds a stream's exact length in frames by reading the whole file through a reader of
// its own (and learns what makes later seeks fast): safe to run on another thread while
// the decoder plays. Gives 0 when it could not, or when `cancel` was set.
using LengthScan = std::function<uint64_t(const std::atomic<bool> &cancel)>;

// A source of 16-bit interleaved PCM. Not thread-safe: the channel's decode lock guards it.
class Decoder
{
public:
    virtual ~Decoder() = default;
    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Length in frames (for music: the song's duration at the output rate). Exact when
    // lengthExact(); otherwise an estimate that lengthScan() makes exact. A decoder may
    // offer a scan even with an exact length, for what the scan learns besides.
    virtual uint64_t lengthFrames() const = 0;
    virtual bool lengthExact() const { return true; }
    virtual LengthScan lengthScan() const { return {}; }
    // The file's channels in its own order.
    virtual std::vector<Speaker> layout() const { return waveLayout(channels()); }
    // Reads up to `frames` frames. Returns the frames read; 0 at the end (also where the
    // layout or rate changes inside the stream); -1 on a decoding error (the channel then
    // ends where it is).
    virtual long read(int16_t *out, long frames) = 0;
    // Moves to `frame` (sample-exact for streams). false when that fails.
    virtual bool seek(uint64_t frame) = 0;
};

enum class OpenError { None, FileOpen, Format, Memory };

// Sets up the decoding libraries once (their tables), so that the first open of a file
// costs no more than the ones after it. Safe to call more than once.
void prepareDecoders();

class FileWindow;

// Opens a file as a stream, choosing the decoder by the file's content: MPEG audio
// (Layer I/II/III) through libmpg123, Ogg Vorbis through libvorbisfile, WAV/AIFF/FLAC
// through libsndfile. When the decoder the content points to cannot read it, the others
// are tried. Opening reads the headers, never the whole file.
std::unique_ptr<Decoder> openStreamDecoder(const std::string &path, OpenError &error);

// Opens a file as a music module (libopenmpt), rendered as stereo at `rate`.
std::unique_ptr<Decoder> openMusicDecoder(const std::string &path, int rate, OpenError &error);

// Per-format openers on the part of a file that holds the audio.
std::unique_ptr<Decoder> openMpegDecoder(const FileWindow &window, OpenError &error);
std::unique_ptr<Decoder> openVorbisDecoder(const FileWindow &window, OpenError &error);
std::unique_ptr<Decoder> openSndfileDecoder(const FileWindow &window, OpenError &error);

} // namespace vokrin::engine
