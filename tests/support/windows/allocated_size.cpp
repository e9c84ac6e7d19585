// The Windows C run time tells a block's size with _msize.
#include "support/allocated_size.h"

#include <malloc.h>

namespace kxu::test {

std::size_t AllocatedSize(void* pBlock) {
  return ::_msize(pBlock);
}

}  // namespace kxu::test
