#pragma once

#include <cstdint>

namespace qb {

// Result of the most recent platform call made by one of the wrapper
// routines. Kept for inspection only; nothing decides anything on it.
extern int32_t LastApiResult;

}  // namespace qb
