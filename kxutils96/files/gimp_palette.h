// Reading the colours of a palette file in the GIMP palette text format.
#pragma once

#include <kxutils96/kxu_export.h>

namespace kxu::files {

// The palette reader's failures.
enum PaletteResult : int {
  kPaletteOpenFailed = -1,   // the file could not be opened, or an array is null
  kPaletteNotAPalette = -2,  // empty, no header, or no colour line
};

}  // namespace kxu::files

extern "C" {

// Reads the palette file named by the UTF-8 `lpcszFile` and stores the red,
// green and blue values of its colours at positions 0, 1, 2, ... of the
// caller's arrays `pnRed`, `pnGreen` and `pnBlue` (each with room for `nMax`
// values), at most `nMax` colours; entries past the count returned are not
// touched, and nothing is cleared on failure. The file is opened read-only
// and closed before return.
//
// The first line must be "GIMP Palette" in any letter case, with nothing
// around it (a byte-order mark or a trailing blank rejects the file). Header
// lines (name, columns, "#" comments, empty lines) are passed over up to the
// first colour line: a line that does not begin with '#' and splits at white
// space (double quotes keeping a quoted stretch whole) into three or more
// tokens, the first beginning with a digit 0-9. From there on each line
// gives one colour from its first three tokens, a comment line included (a
// token that starts with a non-digit gives 0); later lines with fewer than
// three tokens (such as an empty last line) are passed over and store
// nothing. Values are read like atoi, leading digits with an optional sign,
// stored as they are (300 and -5 stay 300 and -5; a number past the int range
// becomes INT_MAX or INT_MIN); the colour's name is ignored.
//
// Returns the number of colours stored (0 to `nMax`); 0 when a colour line
// was found but `nMax` is 0 or less; -1 when the file cannot be opened
// (missing, no access, a folder, a null name) and when `nMax` is positive and
// an array is null; -2 when the file is empty (a named pipe or device, which
// has no length, counts as empty and is never waited on), its first line is
// not the header, or no colour line follows the header.
// Example: a file "GIMP Palette\nName: Two\n#\n255 128 0 Orange\n0 0 255 Blue\n"
// read with nMax 16 gives 2, red {255, 0}, green {128, 0}, blue {0, 255}.
KXU_API int kxu_read_GIMP_palette(const char* lpcszFile, int* pnRed, int* pnGreen, int* pnBlue,
                                  int nMax);

}  // extern "C"
