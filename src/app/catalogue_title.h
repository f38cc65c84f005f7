#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vokrin::app {

// The file-name part of a text: everything after its last '/', '\' or ':' (the whole
// text when it has none).
QByteArray fileNamePart(QByteArrayView text);

// The title of an ID3v1 block as the catalogue takes it: the block's text up to its
// first zero byte, the 30 characters after "TAG", with every leading and trailing
// character of code 32 or below removed. `block` is null or the engine's 128-byte
// block; nothing past those 128 bytes is read.
QByteArray id3v1Title(const char *block);

// The first column of a catalogue entry: the file-name part of the ID3v1 title, or of
// the resolved backing-track path when there is no block or its title is blank.
QByteArray catalogueCaption(const char *tagBlock, QByteArrayView backingTrackPath);

} // namespace vokrin::app
