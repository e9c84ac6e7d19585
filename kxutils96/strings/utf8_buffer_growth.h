// The growth routine of zqMBCStoUTF8's conversion record. Not exported.
#pragma once

#include <kxutils96/host/zutl96/code_page_text.h>

namespace kxu::strings {

// Reads the CStringUTF8 that `pRecord->pOwnerSlot` leads to (the address of
// a variable holding its address), whose buffer is `pRecord->pBuffer` of
// `pRecord->nBufferSize` bytes: ends that buffer at nBufferSize - 1 bytes,
// takes a new one with room for nNewSize - 1 bytes and a NUL that still holds
// the text, stores it and nNewSize in the record and returns 1. Any exception
// on the way (a size below 1, no memory) is caught here: the record's
// failure flag becomes 1, the string keeps its text, and the result is 0.
// Example: over "abc" (size 4), GrowUtf8Buffer(&record, 10) == 1 with
// record.nBufferSize == 10 and the buffer starting "abc".
int GrowUtf8Buffer(zutl96::MbcsConversion* pRecord, int nNewSize);

}  // namespace kxu::strings
