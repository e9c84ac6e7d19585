// Whether the tests run under Wine. Its system calls give a few answers that
// differ from Windows' own; a test that pins Windows' answer skips such a
// case under Wine and says which answer Wine gives instead.
#pragma once

namespace kxu::test {

bool UnderWine();

}  // namespace kxu::test
