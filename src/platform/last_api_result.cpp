#include "platform/last_api_result.h"

namespace qb {

int32_t LastApiResult = 0;

}  // namespace qb
