// Ogg Vorbis through libvorbisfile. A chained file plays its links as one stream as long
// as they keep the first link's rate and channels; it ends where a link changes them,
// and its length counts only what plays.
#include "decoder.h"
#include "source_file.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

namespace vokrin::engine {

namespace {

size_t readWindow(void *out, size_t size, size_t count, void *handle)
{
    const long got = static_cast<FileWindow *>(handle)->read(out, size * count);
    return got > 0 ? static_cast<size_t>(got) / (size ? size : 1) : 0;
}

int seekWindow(void *handle, ogg_int64_t offset, int whence)
{
    return static_cast<FileWindow *>(handle)->seek(offset, whence) < 0 ? -1 : 0;
}

long tellWindow(void *handle)
{
    return static_cast<long>(static_cast<FileWindow *>(handle)->tell());
}

struct Opened
{
    std::unique_ptr<FileWindow> window;
    OggVorbis_File file{};
    bool open = false;
    ~Opened()
    {
        if (open)
            ov_clear(&file);
    }
};

class VorbisDecoder final : public Decoder
{
public:
    VorbisDecoder(std::unique_ptr<Opened> opened, int rate, int channels, uint64_t length)
        : m_opened(std::move(opened)), m_rate(rate), m_channels(channels), m_length(length)
    {
    }

    int sampleRate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    uint64_t lengthFrames() const override { return m_length; }
    std::vector<Speaker> layout() const override { return vorbisLayout(m_channels); }

    long read(int16_t *out, long frames) override
    {
        long done = 0;
        while (done < frames && m_position < m_length) {
            int section = 0;
            const long want =
                std::min<long>(frames - done, static_cast<long>(m_length - m_position));
            const long bytes =
                ov_read(&m_opened->file, reinterpret_cast<char *>(out + done * m_channels),
                        static_cast<int>(want * m_channels * 2), 0, 2, 1, &section);
            if (bytes == OV_HOLE)
                continue; // a gap in the data: vorbisfile resynchronises by itself
            if (bytes < 0)
                return done > 0 ? done : -1;
            if (bytes == 0)
                break;
            const vorbis_info *info = ov_info(&m_opened->file, section);
            if (!info || info->channels != m_channels || info->rate != m_rate) {
                m_position = m_length; // the layout changes here: the stream ends
                break;
            }
            const long got = bytes / (2 * m_channels);
            done += got;
            m_position += static_cast<uint64_t>(got);
        }
        return done;
    }

    bool seek(uint64_t frame) override
    {
        if (frame > m_length || ov_pcm_seek(&m_opened->file, static_cast<ogg_int64_t>(frame)) != 0)
            return false;
        m_position = frame;
        return true;
    }

private:
    std::unique_ptr<Opened> m_opened;
    int m_rate;
    int m_channels;
    uint64_t m_length;
    uint64_t m_position = 0;
};

} // namespace

std::unique_ptr<Decoder> openVorbisDecoder(const FileWindow &window, OpenError &error)
{
    auto opened = std::make_unique<Opened>();
    opened->window = std::make_unique<FileWindow>(window.file(), window.begin(), window.end());
    const ov_callbacks callbacks{readWindow, seekWindow, nullptr, tellWindow};
    if (ov_open_callbacks(opened->window.get(), &opened->file, nullptr, 0, callbacks) != 0) {
        error = OpenError::Format;
        return nullptr;
    }
    opened->open = true;
    const vorbis_info *first = ov_info(&opened->file, 0);
    if (!first || first->channels < 1 || first->channels > 8 || first->rate < 1000 ||
        first->rate > 384000 || ov_seekable(&opened->file) == 0) {
        error = OpenError::Format;
        return nullptr;
    }
    // The links that play: the first and those after it that keep its format.
    uint64_t length = 0;
    for (long link = 0; link < ov_streams(&opened->file); ++link) {
        const vorbis_info *info = ov_info(&opened->file, static_cast<int>(link));
        if (!info || info->channels != first->channels || info->rate != first->rate)
            break;
        const ogg_int64_t frames = ov_pcm_total(&opened->file, static_cast<int>(link));
        if (frames < 0)
            break;
        length += static_cast<uint64_t>(frames);
    }
    if (length == 0) {
        error = OpenError::Format;
        return nullptr;
    }
    const int rate = static_cast<int>(first->rate);
    const int channels = first->channels;
    return std::make_unique<VorbisDecoder>(std::move(opened), rate, channels, length);
}

} // namespace vokrin::engine
