// `kxu archive`: string arrays in the archive format host modules exchange.
#pragma once

namespace kxu::tool {

// `kxu archive list FILE` prints each stored string as "INDEX<TAB>TEXT";
// `kxu archive store FILE TEXT...` writes the texts as one array.
// Returns the process exit code: 0 done, 1 the library failed, 2 bad usage.
int RunArchiveCommand(int argc, char** argv);

}  // namespace kxu::tool
