// MPEG audio Layer I, II and III through libmpg123, gapless. Opening reads the first
// frames only: the exact length comes from the LAME/Xing/Info frame where there is one,
// else from a scan of the whole file that runs on the engine's thread. What a scan
// learns (the length and the seek index) is kept for the next open of the same file, so
// reopening a song to jump into it costs no second scan.
#include "decoder.h"
#include "format_probe.h"
#include "source_file.h"

#include <mpg123.h>

#include <cstdio>
#include <cstring>
#include <list>
#include <mutex>

namespace vokrin::engine {

namespace {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

mpg123_ssize_t readWindow(void *handle, void *out, size_t bytes)
{
    return static_cast<FileWindow *>(handle)->read(out, bytes);
}

off_t seekWindow(void *handle, off_t offset, int whence)
{
    return static_cast<off_t>(static_cast<FileWindow *>(handle)->seek(offset, whence));
}

// What scans found, for the files opened last.
struct Learned
{
    std::string key;
    uint64_t length = 0;
    off_t step = 0;
    std::vector<off_t> index;
};

class LearnedCache
{
public:
    static LearnedCache &instance()
    {
        static LearnedCache cache;
        return cache;
    }
    void put(Learned learned)
    {
        std::lock_guard lock(m_lock);
        m_entries.remove_if([&](const Learned &l) { return l.key == learned.key; });
        m_entries.push_front(std::move(learned));
        while (m_entries.size() > 32)
            m_entries.pop_back();
    }
    bool get(const std::string &key, Learned &out)
    {
        std::lock_guard lock(m_lock);
        for (const Learned &l : m_entries)
            if (l.key == key) {
                out = l;
                return true;
            }
        return false;
    }

private:
    std::mutex m_lock;
    std::list<Learned> m_entries;
};

std::string keyOf(const FileWindow &window)
{
    return window.file()->identity() + '@' + std::to_string(window.begin()) + '-' +
           std::to_string(window.end());
}

// A libmpg123 handle on a window of a file, set up the same way for playing and scanning.
struct Handle
{
    mpg123_handle *mh = nullptr;
    std::unique_ptr<FileWindow> window;
    ~Handle()
    {
        if (mh) {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
    }
};

std::unique_ptr<Handle> openHandle(const FileWindow &from, const std::atomic<bool> *cancel,
                                   OpenError &error, long &rate, int &channels)
{
    initLibrary();
    auto handle = std::make_unique<Handle>();
    handle->window = std::make_unique<FileWindow>(from.file(), from.begin(), from.end());
    handle->window->setCancel(cancel);
    int rc = MPG123_OK;
    handle->mh = mpg123_new(nullptr, &rc);
    if (!handle->mh) {
        error = OpenError::Memory;
        return nullptr;
    }
    mpg123_handle *mh = handle->mh;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_SKIP_ID3V2, 0.0);
    // Damage costs only the damaged stretch: look for the next frame however far it is.
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0.0);
    // Decode to 16-bit at the file's own rate and channel count.
    mpg123_format_none(mh);
    const long *rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_replace_reader_handle(mh, readWindow, seekWindow, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, handle->window.get()) != MPG123_OK) {
        error = OpenError::Format;
        return nullptr;
    }
    int encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels < 1 || channels > 2) {
        error = OpenError::Format;
        return nullptr;
    }
    return handle;
}

// Whether the first frame is a Xing/Info frame that counts the stream's frames: libmpg123
// then knows the exact length (and with a LAME tag, the gapless trim) without a scan.
bool hasFrameCount(const FileWindow &window)
{
    uint8_t frame[64];
    if (window.file()->readAt(window.begin(), frame, sizeof frame) != long{sizeof frame} ||
        mpegFrameLength(frame) <= 0 || ((frame[1] >> 1) & 3) != 1)
        return false; // not Layer III
    const bool mpeg1 = ((frame[1] >> 3) & 3) == 3;
    const bool mono = (frame[3] >> 6) == 3;
    const std::size_t side = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const uint8_t *tag = frame + 4 + side;
    if (std::memcmp(tag, "Xing", 4) != 0 && std::memcmp(tag, "Info", 4) != 0)
        return false;
    return (tag[7] & 1) != 0; // the frames field is there
}

class MpegDecoder final : public Decoder
{
public:
    MpegDecoder(std::unique_ptr<Handle> handle, int rate, int channels, uint64_t length, bool exact)
        : m_handle(std::move(handle)), m_rate(rate), m_channels(channels), m_length(length),
          m_exact(exact)
    {
    }

    int sampleRate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    uint64_t lengthFrames() const override { return m_length; }
    bool lengthExact() const override { return m_exact; }

    LengthScan lengthScan() const override
    {
        // Also run where the header gave the length: the scan's seek index is what lets
        // the next open of this file jump straight to a place.
        Learned known;
        if (LearnedCache::instance().get(keyOf(*m_handle->window), known))
            return {};
        const FileWindow window(m_handle->window->file(), m_handle->window->begin(),
                                m_handle->window->end());
        return [window](const std::atomic<bool> &cancel) -> uint64_t {
            OpenError error = OpenError::None;
            long rate = 0;
            int channels = 0;
            std::unique_ptr<Handle> scan = openHandle(window, &cancel, error, rate, channels);
            if (!scan || mpg123_scan(scan->mh) != MPG123_OK || cancel.load())
                return 0;
            const off_t length = mpg123_length(scan->mh);
            if (length <= 0)
                return 0;
            Learned learned;
            learned.key = keyOf(window);
            learned.length = static_cast<uint64_t>(length);
            off_t *offsets = nullptr;
            std::size_t fill = 0;
            if (mpg123_index(scan->mh, &offsets, &learned.step, &fill) == MPG123_OK && offsets)
                learned.index.assign(offsets, offsets + fill);
            LearnedCache::instance().put(std::move(learned));
            return static_cast<uint64_t>(length);
        };
    }

    long read(int16_t *out, long frames) override
    {
        const std::size_t frameBytes = static_cast<std::size_t>(2 * m_channels);
        std::size_t done = 0;
        const std::size_t want = static_cast<std::size_t>(frames) * frameBytes;
        if (!m_layoutChanged && !m_indexTaken)
            takeLearnedIndex();
        while (done < want && !m_layoutChanged) {
            std::size_t got = 0;
            const int rc = mpg123_read(m_handle->mh, reinterpret_cast<unsigned char *>(out) + done,
                                       want - done, &got);
            done += got;
            if (rc == MPG123_OK)
                continue;
            if (rc == MPG123_NEW_FORMAT) {
                // A stream whose rate or layout changes ends at the change, cleanly.
                long rate = 0;
                int channels = 0;
                int encoding = 0;
                mpg123_getformat(m_handle->mh, &rate, &channels, &encoding);
                if (rate != m_rate || channels != m_channels)
                    m_layoutChanged = true;
                continue;
            }
            if (rc == MPG123_DONE)
                break;
            if (done == 0)
                return -1;
            break;
        }
        return static_cast<long>(done / frameBytes);
    }

    bool seek(uint64_t frame) override
    {
        takeLearnedIndex();
        const off_t at = mpg123_seek(m_handle->mh, static_cast<off_t>(frame), SEEK_SET);
        if (at < 0)
            return false;
        m_layoutChanged = false;
        return static_cast<uint64_t>(at) == frame;
    }

private:
    // Once a scan of this file has finished (here or in an earlier open), seeking jumps
    // through its index instead of reading every frame up to the place.
    void takeLearnedIndex()
    {
        if (m_indexTaken)
            return;
        Learned learned;
        if (!LearnedCache::instance().get(keyOf(*m_handle->window), learned))
            return;
        m_indexTaken = true;
        if (!learned.index.empty())
            mpg123_set_index(m_handle->mh, learned.index.data(), learned.step,
                             learned.index.size());
    }

    std::unique_ptr<Handle> m_handle;
    int m_rate;
    int m_channels;
    uint64_t m_length;
    bool m_exact;
    bool m_layoutChanged = false;
    bool m_indexTaken = false;
};

} // namespace

void prepareDecoders()
{
    initLibrary();
    // libmpg123 builds its synthesis tables for a handle's first decoder.
    mpg123_handle *mh = mpg123_new(nullptr, nullptr);
    if (mh)
        mpg123_delete(mh);
}

std::unique_ptr<Decoder> openMpegDecoder(const FileWindow &window, OpenError &error)
{
    long rate = 0;
    int channels = 0;
    std::unique_ptr<Handle> handle = openHandle(window, nullptr, error, rate, channels);
    if (!handle)
        return nullptr;
    uint64_t length = 0;
    bool exact = false;
    Learned learned;
    if (LearnedCache::instance().get(keyOf(window), learned)) {
        length = learned.length;
        exact = true;
    } else if (hasFrameCount(window)) {
        // The LAME/Xing/Info frame counts the frames (and gives the gapless trim).
        const off_t total = mpg123_length(handle->mh);
        if (total > 0) {
            length = static_cast<uint64_t>(total);
            exact = true;
        }
    }
    if (!exact) {
        const off_t estimate = mpg123_length(handle->mh);
        if (estimate <= 0) {
            error = OpenError::Format;
            return nullptr;
        }
        length = static_cast<uint64_t>(estimate);
    }
    return std::make_unique<MpegDecoder>(std::move(handle), static_cast<int>(rate), channels,
                                         length, exact);
}

} // namespace vokrin::engine
