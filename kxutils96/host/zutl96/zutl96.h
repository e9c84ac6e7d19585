// The host's utility library as this library sees it: character-level
// routines over NUL-terminated UTF-8 buffers of the caller, and the host's
// current code page. Positions are `char*` into the caller's buffer and
// returned positions lie in the same buffer. No routine reports failure other
// than through the results documented on it. None of these routines is
// exported from the shared library; they serve the library's own families.
// The one exported item is the data item g_nCodePage, which the host writes.
//
// This header gathers the per-concern headers below; the library's own
// sources include the one they use. The names this library adds to the
// routines (modes, classes, records) live in namespace kxu::zutl96.
#pragma once

#include <kxutils96/host/zutl96/c_source.h>
#include <kxutils96/host/zutl96/char_class.h>
#include <kxutils96/host/zutl96/code_page_text.h>
#include <kxutils96/host/zutl96/detect_encoding.h>
#include <kxutils96/host/zutl96/file_system.h>
#include <kxutils96/host/zutl96/message_store.h>
#include <kxutils96/host/zutl96/number_parsing.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/host/zutl96/text_search.h>
