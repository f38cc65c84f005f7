#include "decoder.h"
#include "format_probe.h"
#include "source_file.h"

#include <cerrno>

namespace vokrin::engine {

std::unique_ptr<Decoder> openStreamDecoder(const std::string &path, OpenError &error)
{
    error = OpenError::None;
    const std::shared_ptr<SourceFile> file = SourceFile::open(path);
    if (!file) {
        error = errno == EISDIR ? OpenError::Format : OpenError::FileOpen;
        return nullptr;
    }
    const ProbedFile probed = probeFile(*file);
    const FileWindow audio(file, probed.begin, probed.end);
    const FileWindow whole(file, 0, file->size());

    using Opener = std::unique_ptr<Decoder> (*)(const FileWindow &, OpenError &);
    struct Attempt
    {
        Opener open;
        const FileWindow *window;
    };
    // What the content says first, then the decoders that recognise their own formats.
    // MPEG is only ever tried where frames were found: its decoder takes almost anything.
    std::vector<Attempt> attempts;
    switch (probed.format) {
    case StreamFormat::Mpeg:
        attempts.push_back({openMpegDecoder, &audio});
        break;
    case StreamFormat::Vorbis:
        attempts.push_back({openVorbisDecoder, &audio});
        break;
    case StreamFormat::Sndfile:
        attempts.push_back({openSndfileDecoder, &audio});
        break;
    case StreamFormat::Unknown:
        break;
    }
    // An Ogg file that libvorbisfile refuses goes no further: libsndfile's own Ogg reader
    // leaks on broken ones.
    if (probed.format != StreamFormat::Sndfile && probed.format != StreamFormat::Vorbis)
        attempts.push_back({openSndfileDecoder, &whole});
    if (probed.format == StreamFormat::Unknown)
        attempts.push_back({openVorbisDecoder, &whole});

    for (const Attempt &attempt : attempts) {
        OpenError why = OpenError::None;
        std::unique_ptr<Decoder> decoder = attempt.open(*attempt.window, why);
        if (decoder && decoder->lengthFrames() > 0)
            return decoder;
        if (why == OpenError::Memory)
            error = why;
    }
    if (error == OpenError::None)
        error = OpenError::Format;
    return nullptr;
}

} // namespace vokrin::engine
