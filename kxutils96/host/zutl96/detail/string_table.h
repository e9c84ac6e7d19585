// Reading numbered strings from a loaded module's string tables, the way
// message modules carry their texts. Only the message store routines of this
// folder use it.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include <kxutils96/platform/win32/win_module.h>

namespace kxu::zutl96 {

// A string table block holds 16 strings: block N the ids 16 * (N - 1) to
// 16 * N - 1.
inline constexpr int kStringsPerBlock = 16;

// The string at `nIndex` (0 to 15) of the string table block whose bytes are
// `block`: 16 runs one after another, each a count of UTF-16 units followed
// by that many units (little-endian). Empty for an empty slot, and for a slot
// that the block's bytes end before (a damaged block is read no further).
// Example: the block {1, 'A', 0, 2, 'B', 'C', 0...} gives u"BC" at index 2.
std::u16string StringOfBlock(std::span<const std::byte> block, int nIndex);

// Reads string `nID` (0 to 65535) of the string tables of `hModule` into
// `text` as UTF-8: in the language `nLangId` (its low 16 bits; 0: none
// asked) when the module has the string in it, otherwise in the module's
// default language: the neutral one when the string's block is there in it,
// else the first language the block is there in. Returns false, `text`
// untouched, when there is no such string (an empty string counts as none),
// for a null handle and for one that is not a loaded module's.
// Example: LoadStringTableText(h, 15000, 0x0407, text) reads the German text,
// or the neutral one when the module has no German text of 15000.
bool LoadStringTableText(HMODULE hModule, int nID, int nLangId, std::string& text);

}  // namespace kxu::zutl96
