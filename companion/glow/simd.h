// SSE2 where the target has it (every x86-64, and the 32-bit build, which
// asks for it); plain loops elsewhere give the same results.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QB_GLOW_SSE2 1
#include <emmintrin.h>
#else
#define QB_GLOW_SSE2 0
#endif
