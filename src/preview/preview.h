#pragma once

#include <cstdint>

namespace qb {

// Puts the preview still into the display-settings panel's window `host`.
// Returns false when no preview window was made, and the process then has
// nothing to live for.
bool EmbedPreview(int32_t host);

}  // namespace qb
