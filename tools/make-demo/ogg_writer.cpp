#include "ogg_writer.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vorbis/vorbisenc.h>

namespace vokrin::demo {
namespace {

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};

void writePage(std::FILE *file, const ogg_page &page, const std::string &path)
{
    if (std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) !=
            static_cast<size_t>(page.header_len) ||
        std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) !=
            static_cast<size_t>(page.body_len))
        throw std::runtime_error(path + ": " + std::strerror(errno));
}

} // namespace

void writeOggVorbis(const std::string &path, const std::vector<float> &interleaved, int channels,
                    int rate)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error(path + ": " + std::strerror(errno));

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.5f) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error(path + ": the Vorbis encoder refused the format");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Во поле берёза стояла");
    vorbis_comment_add_tag(&comment, "ENCODER", "vokrin make-demo");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x566f6b72); // "Vokr"

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage(file.get(), page, path);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    constexpr size_t kChunk = 1024;
    size_t done = 0;
    bool finished = false;
    while (!finished) {
        const size_t count = std::min(kChunk, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float **buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = interleaved[(done + i) * static_cast<size_t>(channels) +
                                               static_cast<size_t>(c)];
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    writePage(file.get(), page, path);
                    if (ogg_page_eos(&page) != 0)
                        finished = true;
                }
            }
        }
        if (count == 0)
            finished = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage(file.get(), page, path);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error(path + ": " + std::strerror(errno));
}

} // namespace vokrin::demo
