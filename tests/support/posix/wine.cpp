// POSIX programs never run under Wine.
#include "support/wine.h"

namespace kxu::test {

bool UnderWine() {
  return false;
}

}  // namespace kxu::test
