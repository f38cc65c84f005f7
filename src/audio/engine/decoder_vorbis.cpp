// Ogg Vorbis through libvorbisfile.
#include "decoder.h"

#include <vorbis/vorbisfile.h>

namespace vokrin::engine {

namespace {

class VorbisDecoder final : public Decoder
{
public:
    explicit VorbisDecoder(std::unique_ptr<OggVorbis_File> file) : m_file(std::move(file))
    {
        const vorbis_info *info = ov_info(m_file.get(), -1);
        m_rate = static_cast<int>(info->rate);
        m_channels = info->channels;
        m_length = static_cast<uint64_t>(ov_pcm_total(m_file.get(), -1));
    }
    ~VorbisDecoder() override { ov_clear(m_file.get()); }

    int sampleRate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    uint64_t lengthFrames() const override { return m_length; }

    long read(int16_t *out, long frames) override
    {
        long done = 0;
        while (done < frames) {
            int section = 0;
            const long bytes =
                ov_read(m_file.get(), reinterpret_cast<char *>(out + done * m_channels),
                        static_cast<int>((frames - done) * m_channels * 2), 0, 2, 1, &section);
            if (bytes == OV_HOLE)
                continue; // a gap in the data: vorbisfile resynchronises by itself
            if (bytes < 0)
                return done > 0 ? done : -1;
            if (bytes == 0)
                break;
            // A chained file whose later section changes the layout is cut there.
            const vorbis_info *info = ov_info(m_file.get(), section);
            if (!info || info->channels != m_channels)
                break;
            done += bytes / (2 * m_channels);
        }
        return done;
    }

    bool seek(uint64_t frame) override
    {
        return ov_pcm_seek(m_file.get(), static_cast<ogg_int64_t>(frame)) == 0;
    }

private:
    std::unique_ptr<OggVorbis_File> m_file;
    int m_rate = 0;
    int m_channels = 0;
    uint64_t m_length = 0;
};

} // namespace

std::unique_ptr<Decoder> openVorbisDecoder(const std::string &path, OpenError &error)
{
    auto file = std::make_unique<OggVorbis_File>();
    if (ov_fopen(path.c_str(), file.get()) != 0) {
        error = OpenError::Format;
        return nullptr;
    }
    const vorbis_info *info = ov_info(file.get(), -1);
    const ogg_int64_t total = ov_pcm_total(file.get(), -1);
    if (!info || info->channels < 1 || info->channels > 8 || total <= 0 ||
        ov_seekable(file.get()) == 0) {
        ov_clear(file.get());
        error = OpenError::Format;
        return nullptr;
    }
    return std::make_unique<VorbisDecoder>(std::move(file));
}

} // namespace vokrin::engine
