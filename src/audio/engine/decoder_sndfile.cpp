// WAV, AIFF and FLAC through libsndfile.
#include "decoder.h"

#include <sndfile.h>

#include <cstdio>

namespace vokrin::engine {

namespace {

class SndfileDecoder final : public Decoder
{
public:
    SndfileDecoder(SNDFILE *file, const SF_INFO &info) : m_file(file), m_info(info) {}
    ~SndfileDecoder() override { sf_close(m_file); }

    int sampleRate() const override { return m_info.samplerate; }
    int channels() const override { return m_info.channels; }
    uint64_t lengthFrames() const override { return static_cast<uint64_t>(m_info.frames); }

    long read(int16_t *out, long frames) override
    {
        const sf_count_t got = sf_readf_short(m_file, out, frames);
        if (got < 0)
            return -1;
        if (got == 0 && m_position < lengthFrames())
            return sf_error(m_file) != SF_ERR_NO_ERROR ? -1 : 0;
        m_position += static_cast<uint64_t>(got);
        return static_cast<long>(got);
    }

    bool seek(uint64_t frame) override
    {
        if (sf_seek(m_file, static_cast<sf_count_t>(frame), SEEK_SET) < 0)
            return false;
        m_position = frame;
        return true;
    }

private:
    SNDFILE *m_file;
    SF_INFO m_info;
    uint64_t m_position = 0;
};

} // namespace

std::unique_ptr<Decoder> openSndfileDecoder(const std::string &path, OpenError &error)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = OpenError::Format;
        return nullptr;
    }
    if (info.channels < 1 || info.channels > 8 || info.samplerate < 1000 ||
        info.samplerate > 384000 || info.frames <= 0) {
        sf_close(file);
        error = OpenError::Format;
        return nullptr;
    }
    // Float data read as 16-bit is scaled, not truncated to -1..1 integers.
    sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    return std::make_unique<SndfileDecoder>(file, info);
}

} // namespace vokrin::engine
