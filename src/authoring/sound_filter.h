#pragma once

// The file-dialog filter for backing tracks, the same as the main window's.
namespace vokrin::authoring {
inline constexpr const char16_t *kSoundFileFilter = u"Sound files|*.WAV;*.MP3;*.MP2;*.MP1;*.OGG";
}
