// A fuzz target's check: a broken property stops the run with the input that
// broke it (libFuzzer saves it as a crash).
#pragma once

#include <cstdlib>

inline void Require(bool bHolds) {
  if (!bHolds) std::abort();
}
