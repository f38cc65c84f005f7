#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vokrin::engine {

// A source of 16-bit interleaved PCM. Not thread-safe: the channel's decode lock guards it.
class Decoder
{
public:
    virtual ~Decoder() = default;
    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Exact length in frames (for music: the song's duration at the output rate).
    virtual uint64_t lengthFrames() const = 0;
    // Reads up to `frames` frames. Returns the frames read; 0 at the end; -1 on a
    // decoding error (the channel then ends where it is).
    virtual long read(int16_t *out, long frames) = 0;
    // Moves to `frame` (sample-exact for streams). false when that fails.
    virtual bool seek(uint64_t frame) = 0;
};

enum class OpenError { None, FileOpen, Format, Memory };

// Opens a file as a stream, choosing the decoder by the file's content: MPEG audio
// (Layer I/II/III) through libmpg123, Ogg Vorbis through libvorbisfile, WAV/AIFF/FLAC
// through libsndfile.
std::unique_ptr<Decoder> openStreamDecoder(const std::string &path, OpenError &error);

// Opens a file as a music module (libopenmpt), rendered as stereo at `rate`.
std::unique_ptr<Decoder> openMusicDecoder(const std::string &path, int rate, OpenError &error);

// Per-format openers, used by openStreamDecoder after it has looked at the content.
std::unique_ptr<Decoder> openMpegDecoder(const std::string &path, OpenError &error);
std::unique_ptr<Decoder> openVorbisDecoder(const std::string &path, OpenError &error);
std::unique_ptr<Decoder> openSndfileDecoder(const std::string &path, OpenError &error);

} // namespace vokrin::engine
