// The host's utility library as this library sees it: character-level
// routines over NUL-terminated UTF-8 buffers of the caller, and the host's
// current code page. Positions are `char*` into the caller's buffer and
// returned positions lie in the same buffer. No routine reports failure other
// than through the results documented on it. Code outside host/zutl96 includes
// this header only.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
