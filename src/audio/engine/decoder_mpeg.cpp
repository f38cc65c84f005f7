// MPEG audio Layer I, II and III through libmpg123: gapless, with the exact length
// found by scanning the whole file (a VBR file without a Xing tag has no other way).
#include "decoder.h"

#include <mpg123.h>

#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace vokrin::engine {

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

class MpegDecoder final : public Decoder
{
public:
    MpegDecoder(mpg123_handle *handle, int fd, int rate, int channels, uint64_t length)
        : m_handle(handle), m_fd(fd), m_rate(rate), m_channels(channels), m_length(length)
    {
    }
    ~MpegDecoder() override
    {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
        ::close(m_fd);
    }

    int sampleRate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    uint64_t lengthFrames() const override { return m_length; }

    long read(int16_t *out, long frames) override
    {
        const std::size_t frameBytes = static_cast<std::size_t>(2 * m_channels);
        std::size_t done = 0;
        const std::size_t want = static_cast<std::size_t>(frames) * frameBytes;
        while (done < want && m_position < m_length) {
            std::size_t got = 0;
            const int rc = mpg123_read(m_handle, reinterpret_cast<unsigned char *>(out) + done,
                                       want - done, &got);
            done += got;
            if (rc == MPG123_NEW_FORMAT || rc == MPG123_OK)
                continue;
            if (rc == MPG123_DONE)
                break;
            if (done == 0)
                return -1;
            break;
        }
        // The scanned length is the truth: never hand out more than it.
        uint64_t framesDone = done / frameBytes;
        if (m_position + framesDone > m_length)
            framesDone = m_length - m_position;
        m_position += framesDone;
        return static_cast<long>(framesDone);
    }

    bool seek(uint64_t frame) override
    {
        const off_t at = mpg123_seek(m_handle, static_cast<off_t>(frame), SEEK_SET);
        if (at < 0)
            return false;
        m_position = static_cast<uint64_t>(at);
        return m_position == frame;
    }

private:
    mpg123_handle *m_handle;
    int m_fd;
    int m_rate;
    int m_channels;
    uint64_t m_length;
    uint64_t m_position = 0;
};

} // namespace

std::unique_ptr<Decoder> openMpegDecoder(const std::string &path, OpenError &error)
{
    initLibrary();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = OpenError::FileOpen;
        return nullptr;
    }
    int rc = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &rc);
    if (!handle) {
        ::close(fd);
        error = OpenError::Memory;
        return nullptr;
    }
    auto fail = [&](OpenError why) -> std::unique_ptr<Decoder> {
        mpg123_close(handle);
        mpg123_delete(handle);
        ::close(fd);
        error = why;
        return nullptr;
    };
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    // Decode to 16-bit at the file's own rate and channel count.
    mpg123_format_none(handle);
    const long *rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_fd(handle, fd) != MPG123_OK)
        return fail(OpenError::Format);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels < 1 || channels > 2)
        return fail(OpenError::Format);
    if (mpg123_scan(handle) != MPG123_OK)
        return fail(OpenError::Format);
    const off_t length = mpg123_length(handle);
    if (length <= 0)
        return fail(OpenError::Format);
    if (mpg123_seek(handle, 0, SEEK_SET) != 0)
        return fail(OpenError::Format);
    return std::make_unique<MpegDecoder>(handle, fd, static_cast<int>(rate), channels,
                                         static_cast<uint64_t>(length));
}

} // namespace vokrin::engine
