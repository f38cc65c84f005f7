#pragma once

#include <QByteArray>
#include <QString>

namespace vokrin::content {

// Replaces (or creates) the file at path with bytes so that readers see either the old
// file or the whole new one, never a part: the bytes go to a temporary file in the same
// folder, which is then renamed over the target. An interrupted or failed write leaves
// the old file as it was and no temporary file behind. Throws ContentFileError.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// The whole file's bytes. Throws ContentFileError when it cannot be opened or read.
QByteArray readWholeFile(const QString &path);

} // namespace vokrin::content
