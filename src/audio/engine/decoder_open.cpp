#include "decoder.h"
#include "format_probe.h"

#include <cstdio>
#include <vector>

namespace vokrin::engine {

std::unique_ptr<Decoder> openStreamDecoder(const std::string &path, OpenError &error)
{
    error = OpenError::None;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = OpenError::FileOpen;
        return nullptr;
    }
    std::vector<uint8_t> head(64 * 1024);
    const std::size_t got = std::fread(head.data(), 1, head.size(), file);
    std::fclose(file);

    std::unique_ptr<Decoder> decoder;
    switch (probeStreamFormat(head.data(), got)) {
    case StreamFormat::Mpeg:
        decoder = openMpegDecoder(path, error);
        break;
    case StreamFormat::Vorbis:
        decoder = openVorbisDecoder(path, error);
        break;
    case StreamFormat::Sndfile:
        decoder = openSndfileDecoder(path, error);
        break;
    case StreamFormat::Unknown:
        error = OpenError::Format;
        break;
    }
    if (decoder && decoder->lengthFrames() == 0) {
        decoder.reset();
        error = OpenError::Format;
    }
    return decoder;
}

} // namespace vokrin::engine
