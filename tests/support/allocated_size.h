// The usable size of a block from malloc(), as the C run time reports it.
#pragma once

#include <cstddef>

namespace kxu::test {

std::size_t AllocatedSize(void* pBlock);

}  // namespace kxu::test
