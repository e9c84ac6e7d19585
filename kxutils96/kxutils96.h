// kxUtils96: text, file and data utilities for a scientific graphing host.
// One include for every export, the string and array types, the host-object
// bridge and the framework-shaped platform types that the signatures use.
#pragma once

// The headers are C++20; pkg-config leaves the language standard to the
// program, so an older one is named here rather than in a page of errors.
#if (defined(_MSVC_LANG) ? _MSVC_LANG : __cplusplus) < 202002L
#error "kxUtils96's headers need C++20 or later: compile with -std=c++20 (or newer)"
#endif

#include <kxutils96/kxu_export.h>

#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_archive.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/platform/framework/afx_message_box.h>
#include <kxutils96/platform/framework/afx_object.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>
#include <kxutils96/platform/framework/afx_string.h>
#include <kxutils96/platform/win32/win_types.h>

#include <kxutils96/host/zstrings96/zstrings96.h>

#include <kxutils96/frame/host_object.h>
#include <kxutils96/strings/encoding_conversions.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/join_tokens.h>
#include <kxutils96/tokens/key_values.h>
#include <kxutils96/tokens/numeric_suffix.h>
#include <kxutils96/tokens/separate_by_str.h>
#include <kxutils96/tokens/token_splitter.h>

#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/data/missing_values.h>
#include <kxutils96/data/remove_unchanged_items.h>

#include <kxutils96/format/messages/message_loading.h>
#include <kxutils96/format/messages/ordered_format.h>
#include <kxutils96/format/transforms/escaping.h>
#include <kxutils96/format/transforms/keyword_replace.h>
#include <kxutils96/format/transforms/multi_str_reorder.h>
#include <kxutils96/format/transforms/source_text.h>
#include <kxutils96/format/transforms/wrap_pad.h>

#include <kxutils96/files/directories.h>
#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/gimp_palette.h>
#include <kxutils96/files/relative_path.h>
#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/files/text_file_reader.h>

#include <kxutils96/shell/shell_item.h>
