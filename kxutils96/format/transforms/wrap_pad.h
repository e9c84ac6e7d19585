// Laying out plain text in fixed-width output: wrapping lines and padding to
// an exact width. Widths count bytes of the UTF-8 text.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

// Alignments of kxu_str_pad_char.
enum PadAlign : int {
  kPadAlignLeft = 0,
  kPadAlignCenter = 1,
  kPadAlignRight = 2,
};

extern "C" {

// Breaks the lines of `*pstrText` (the caller's) in place so that none
// carries more than `nWidth` bytes before its break character (a blank, tab
// or , ; : . ! ? - / ) ] }, which stays at the line's end), and puts
// `nIndent` blanks in front of every line but the first. Existing line feeds
// stay and start new lines. Returns the number of lines; 0 for an empty text;
// -1 when the pointer is null or `nWidth` < 1, and -1 with the text left as
// it was when a line has no break character within its width or the wrapped
// text would pass the largest string (2^31 - 1 bytes). The indent costs
// nothing until a line is indented.
// Example: "hello world" at width 5 with indent 2 gives "hello \n  world", 2.
KXU_API int kxu_wrap_text(CStringUTF8* pstrText, int nWidth, int nIndent);

}  // extern "C"

// Returns a new text of exactly `nWidth` bytes: `lpcszText` (not null) cut
// to `nWidth` bytes when it is that long or longer, else padded with `chPad`
// on the right (kPadAlignLeft, and any unknown alignment), on both sides with
// the odd byte on the right (kPadAlignCenter) or on the left
// (kPadAlignRight). A `chPad` of 0 pads nothing: a shorter text comes back
// as it is. A width of 0 or less gives the empty text.
// Example: kxu_str_pad_char("ab", 6, kPadAlignCenter, '.') == "..ab..".
KXU_API CStringUTF8 kxu_str_pad_char(const char* lpcszText, int nWidth, int nAlign, char chPad);
