// A music file reduced to its loudness envelope with the system's own
// decoders: PCM WAV through our RIFF reader, compressed WAV through the
// audio codecs (ACM), MP3 through Media Foundation's source reader.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "music/loudness.h"
#include "platform/music_block.h"

namespace qb {

// The envelope of the file at `path`, played as `kind`; nothing when it
// cannot be opened as a file on a disk, or decoded. Stops early, giving
// nothing, once `cancel` is set.
std::optional<Envelope> DecodeEnvelope(const std::u16string& path, BlockMusicKind kind,
                                       const std::atomic<bool>& cancel);

}  // namespace qb
