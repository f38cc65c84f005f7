// Music modules (MOD, S3M, XM, IT, MTM, UMX ...) through libopenmpt, rendered as 16-bit
// stereo at the output rate. Volume ramping is libopenmpt's default.
#include "decoder.h"

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace vokrin::engine {

namespace {

class MusicDecoder final : public Decoder
{
public:
    MusicDecoder(openmpt_module *module, int rate) : m_module(module), m_rate(rate)
    {
        const double seconds = openmpt_module_get_duration_seconds(module);
        m_length = seconds > 0 ? static_cast<uint64_t>(std::llround(seconds * rate)) : 0;
    }
    ~MusicDecoder() override { openmpt_module_destroy(m_module); }

    int sampleRate() const override { return m_rate; }
    int channels() const override { return 2; }
    uint64_t lengthFrames() const override { return m_length; }

    long read(int16_t *out, long frames) override
    {
        if (m_position >= m_length)
            return 0;
        if (static_cast<uint64_t>(frames) > m_length - m_position)
            frames = static_cast<long>(m_length - m_position);
        const std::size_t got = openmpt_module_read_interleaved_stereo(
            m_module, m_rate, static_cast<std::size_t>(frames), out);
        m_position += got;
        return static_cast<long>(got);
    }

    bool seek(uint64_t frame) override
    {
        const double at =
            openmpt_module_set_position_seconds(m_module, static_cast<double>(frame) / m_rate);
        if (at < 0)
            return false;
        // libopenmpt lands on a row boundary at or before the target; render the rest
        // and throw it away so the position is right to the sample.
        int64_t skip = static_cast<int64_t>(frame) - std::llround(at * m_rate);
        int16_t scratch[2 * 1024];
        while (skip > 0) {
            const std::size_t n = openmpt_module_read_interleaved_stereo(
                m_module, m_rate, static_cast<std::size_t>(skip < 1024 ? skip : 1024), scratch);
            if (n == 0)
                break;
            skip -= static_cast<int64_t>(n);
        }
        m_position = frame;
        return true;
    }

private:
    openmpt_module *m_module;
    int m_rate;
    uint64_t m_length = 0;
    uint64_t m_position = 0;
};

} // namespace

std::unique_ptr<Decoder> openMusicDecoder(const std::string &path, int rate, OpenError &error)
{
    error = OpenError::None;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = OpenError::FileOpen;
        return nullptr;
    }
    // Modules are small; a file beyond 256 MiB is not one.
    std::vector<char> data;
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        data.insert(data.end(), block, block + got);
        if (data.size() > (256u << 20))
            break;
    }
    std::fclose(file);
    if (data.empty() || data.size() > (256u << 20)) {
        error = OpenError::Format;
        return nullptr;
    }
    int probeError = 0;
    const int probe = openmpt_probe_file_header(
        OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, data.data(), data.size(), data.size(),
        openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, &probeError, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) {
        error = OpenError::Format;
        return nullptr;
    }
    int createError = 0;
    openmpt_module *module = openmpt_module_create_from_memory2(
        data.data(), data.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, &createError, nullptr, nullptr);
    if (!module) {
        error = OpenError::Format;
        return nullptr;
    }
    // After a seek, notes that started before the target go on sounding.
    openmpt_module_ctl_set_boolean(module, "seek.sync_samples", 1);
    auto decoder = std::make_unique<MusicDecoder>(module, rate);
    if (decoder->lengthFrames() == 0) {
        error = OpenError::Format;
        return nullptr;
    }
    return decoder;
}

} // namespace vokrin::engine
