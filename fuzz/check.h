// A failed property stops the run at once, fuzzing or replaying, with the
// reason on stderr.
#pragma once

#include <cstdio>
#include <cstdlib>

#define QB_FUZZ_CHECK(condition)                                                   \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (0)
