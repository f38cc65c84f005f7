// WAV, AIFF and FLAC through libsndfile.
#include "decoder.h"
#include "source_file.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>

namespace vokrin::engine {

namespace {

sf_count_t windowLength(void *handle)
{
    return static_cast<sf_count_t>(static_cast<FileWindow *>(handle)->size());
}
sf_count_t windowSeek(sf_count_t offset, int whence, void *handle)
{
    return static_cast<FileWindow *>(handle)->seek(offset, whence);
}
sf_count_t windowRead(void *out, sf_count_t count, void *handle)
{
    const long got = static_cast<FileWindow *>(handle)->read(out, static_cast<std::size_t>(count));
    return got > 0 ? got : 0;
}
sf_count_t windowWrite(const void *, sf_count_t, void *)
{
    return 0;
}
sf_count_t windowTell(void *handle)
{
    return static_cast<sf_count_t>(static_cast<FileWindow *>(handle)->tell());
}

// The file's own channel order: the WAV channel mask or CAF/AIFF layout where libsndfile
// knows one, else the usual order of the format.
std::vector<Speaker> layoutOf(SNDFILE *file, const SF_INFO &info)
{
    const int channels = info.channels;
    std::vector<int> map(static_cast<std::size_t>(channels));
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                   static_cast<int>(map.size() * sizeof(int))) == SF_TRUE) {
        std::vector<Speaker> layout;
        for (int position : map) {
            switch (position) {
            case SF_CHANNEL_MAP_MONO:
                layout.push_back(Speaker::Mono);
                break;
            case SF_CHANNEL_MAP_LEFT:
            case SF_CHANNEL_MAP_FRONT_LEFT:
                layout.push_back(Speaker::FrontLeft);
                break;
            case SF_CHANNEL_MAP_RIGHT:
            case SF_CHANNEL_MAP_FRONT_RIGHT:
                layout.push_back(Speaker::FrontRight);
                break;
            case SF_CHANNEL_MAP_CENTER:
            case SF_CHANNEL_MAP_FRONT_CENTER:
                layout.push_back(Speaker::FrontCenter);
                break;
            case SF_CHANNEL_MAP_LFE:
                layout.push_back(Speaker::Lfe);
                break;
            case SF_CHANNEL_MAP_REAR_LEFT:
                layout.push_back(Speaker::BackLeft);
                break;
            case SF_CHANNEL_MAP_REAR_RIGHT:
                layout.push_back(Speaker::BackRight);
                break;
            case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
                layout.push_back(Speaker::FrontLeftOfCenter);
                break;
            case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
                layout.push_back(Speaker::FrontRightOfCenter);
                break;
            case SF_CHANNEL_MAP_REAR_CENTER:
                layout.push_back(Speaker::BackCenter);
                break;
            case SF_CHANNEL_MAP_SIDE_LEFT:
                layout.push_back(Speaker::SideLeft);
                break;
            case SF_CHANNEL_MAP_SIDE_RIGHT:
                layout.push_back(Speaker::SideRight);
                break;
            default:
                layout.push_back(Speaker::Unknown);
                break;
            }
        }
        return layout;
    }
    return waveLayout(channels);
}

struct Opened
{
    std::unique_ptr<FileWindow> window;
    SF_VIRTUAL_IO io{windowLength, windowSeek, windowRead, windowWrite, windowTell};
};

class SndfileDecoder final : public Decoder
{
public:
    SndfileDecoder(std::unique_ptr<Opened> opened, SNDFILE *file, const SF_INFO &info)
        : m_opened(std::move(opened)), m_file(file), m_info(info), m_layout(layoutOf(file, info))
    {
        const int subtype = info.format & SF_FORMAT_SUBMASK;
        m_floats = subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    }
    ~SndfileDecoder() override { sf_close(m_file); }

    int sampleRate() const override { return m_info.samplerate; }
    int channels() const override { return m_info.channels; }
    uint64_t lengthFrames() const override { return static_cast<uint64_t>(m_info.frames); }
    std::vector<Speaker> layout() const override { return m_layout; }

    long read(int16_t *out, long frames) override
    {
        const sf_count_t got =
            m_floats ? readFloats(out, frames) : sf_readf_short(m_file, out, frames);
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
    // Float data: full scale is 1.0, converted here (libsndfile's own conversion would
    // either truncate to -1..1 or scale by the file's peak, which reads the whole file).
    sf_count_t readFloats(int16_t *out, long frames)
    {
        const std::size_t samples =
            static_cast<std::size_t>(frames) * static_cast<std::size_t>(m_info.channels);
        if (m_scratch.size() < samples)
            m_scratch.resize(samples);
        const sf_count_t got = sf_readf_float(m_file, m_scratch.data(), frames);
        const std::size_t n =
            got > 0 ? static_cast<std::size_t>(got) * static_cast<std::size_t>(m_info.channels) : 0;
        for (std::size_t i = 0; i < n; ++i) {
            const float v = m_scratch[i] * 32768.0f;
            out[i] = static_cast<int16_t>(v >= 32767.0f    ? 32767
                                          : v <= -32768.0f ? -32768
                                                           : std::lrint(v));
        }
        return got;
    }

    std::unique_ptr<Opened> m_opened;
    SNDFILE *m_file;
    SF_INFO m_info;
    std::vector<Speaker> m_layout;
    bool m_floats = false;
    std::vector<float> m_scratch;
    uint64_t m_position = 0;
};

} // namespace

std::unique_ptr<Decoder> openSndfileDecoder(const FileWindow &window, OpenError &error)
{
    auto opened = std::make_unique<Opened>();
    opened->window = std::make_unique<FileWindow>(window.file(), window.begin(), window.end());
    SF_INFO info{};
    SNDFILE *file = sf_open_virtual(&opened->io, SFM_READ, &info, opened->window.get());
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
    return std::make_unique<SndfileDecoder>(std::move(opened), file, info);
}

} // namespace vokrin::engine
