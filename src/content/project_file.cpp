#include "content/project_file.h"

#include "content/file_error.h"
#include "content/text_codec.h"
#include "content/whole_file.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <optional>

namespace vokrin::content {
namespace {

constexpr qsizetype kCountSize = 4;

// Reads the bytes of a file through a memory map where possible, so that a huge file
// costs no copy; the parser only touches what the counts and the size allow.
class FileBytes
{
public:
    explicit FileBytes(const QString &path) : m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            throw ContentFileError(QStringLiteral("open"), path, m_file.errorString());
        const qint64 size = m_file.size();
        if (size > 0 && !m_file.isSequential())
            m_mapped = m_file.map(0, size);
        if (m_mapped != nullptr) {
            m_view = QByteArrayView(m_mapped, size);
            return;
        }
        m_copy = m_file.readAll();
        if (m_file.error() != QFileDevice::NoError)
            throw ContentFileError(QStringLiteral("read"), path, m_file.errorString());
        m_view = m_copy;
    }
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;
    ~FileBytes()
    {
        if (m_mapped != nullptr)
            m_file.unmap(m_mapped);
    }

    QByteArrayView view() const { return m_view; }

private:
    QFile m_file;
    uchar *m_mapped = nullptr;
    QByteArray m_copy;
    QByteArrayView m_view;
};

void appendCount(QByteArray &bytes, qsizetype count)
{
    // Lists beyond 2^31 - 1 entries cannot be stored in the format; no caller comes near.
    Q_ASSERT(count <= std::numeric_limits<qint32>::max());
    char raw[kCountSize];
    qToLittleEndian<qint32>(qint32(count), raw);
    bytes.append(raw, kCountSize);
}

} // namespace

QByteArray fieldText(QByteArrayView field)
{
    const qsizetype zero = field.indexOf('\0');
    return (zero < 0 ? field : field.first(zero)).toByteArray();
}

QByteArray makeField(QByteArrayView text)
{
    QByteArray field = cutAtCharacterBoundary(text, kProjectFieldSize);
    field.append(kProjectFieldSize - field.size(), '\0');
    return field;
}

ProjectReadResult parseProject(QByteArrayView bytes)
{
    ProjectReadResult result;
    SongProject &project = result.project;
    qsizetype pos = 0;
    const auto remaining = [&] { return bytes.size() - pos; };
    // A count field; negative counts read as 0. Nothing when the data ends first.
    const auto readCount = [&]() -> std::optional<qsizetype> {
        if (remaining() < kCountSize)
            return std::nullopt;
        const qint32 count = qFromLittleEndian<qint32>(bytes.data() + pos);
        pos += kCountSize;
        return std::max<qint32>(count, 0);
    };

    const qsizetype nameSize = std::min(kProjectFieldSize, remaining());
    project.backingTrackName = fieldText(bytes.first(nameSize));
    pos += nameSize;
    if (nameSize < kProjectFieldSize) {
        result.truncated = true;
        return result;
    }

    const std::optional<qsizetype> cueCount = readCount();
    if (!cueCount) {
        result.truncated = true;
        return result;
    }
    const qsizetype cuesPresent = std::min(*cueCount, remaining() / kCountSize);
    project.cues.reserve(cuesPresent);
    for (qsizetype i = 0; i < cuesPresent; ++i, pos += kCountSize)
        project.cues.append(qFromLittleEndian<quint32>(bytes.data() + pos));
    if (cuesPresent < *cueCount) {
        result.truncated = true;
        return result;
    }

    const std::optional<qsizetype> lineCount = readCount();
    if (!lineCount) {
        result.truncated = true;
        return result;
    }
    const qsizetype linesPresent = std::min(*lineCount, remaining() / kProjectFieldSize);
    project.lines.reserve(linesPresent);
    for (qsizetype i = 0; i < linesPresent; ++i, pos += kProjectFieldSize)
        project.lines.append(fieldText(bytes.sliced(pos, kProjectFieldSize)));
    result.truncated = linesPresent < *lineCount;
    return result;
}

QByteArray serializeProject(const SongProject &project)
{
    QByteArray bytes;
    bytes.reserve(kProjectFieldSize + 2 * kCountSize + kCountSize * project.cues.size() +
                  kProjectFieldSize * project.lines.size());
    bytes += makeField(project.backingTrackName);
    appendCount(bytes, project.cues.size());
    for (const quint32 cue : project.cues) {
        char raw[kCountSize];
        qToLittleEndian<quint32>(cue, raw);
        bytes.append(raw, kCountSize);
    }
    appendCount(bytes, project.lines.size());
    for (const QByteArray &line : project.lines)
        bytes += makeField(line);
    return bytes;
}

ProjectReadResult readProjectFile(const QString &path)
{
    const FileBytes file(path);
    return parseProject(file.view());
}

QByteArray readBackingTrackName(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ContentFileError(QStringLiteral("open"), path, file.errorString());
    const QByteArray field = file.read(kProjectFieldSize);
    if (file.error() != QFileDevice::NoError)
        throw ContentFileError(QStringLiteral("read"), path, file.errorString());
    return fieldText(field);
}

void writeProjectFile(const QString &path, const SongProject &project)
{
    writeFileAtomically(path, serializeProject(project));
}

void rewriteBackingTrackName(const QString &path, QByteArrayView name)
{
    QFile file(path);
    // ReadWrite rather than WriteOnly: the file must not be truncated.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        throw ContentFileError(QStringLiteral("open"), path, file.errorString());
    const QByteArray field = makeField(name);
    if (file.write(field) != field.size() || !file.flush())
        throw ContentFileError(QStringLiteral("write"), path, file.errorString());
}

} // namespace vokrin::content
