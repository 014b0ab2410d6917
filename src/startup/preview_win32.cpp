#include "startup/preview.h"

namespace qb {

bool EmbedPreview(int32_t /*host*/) { return false; }

}  // namespace qb
