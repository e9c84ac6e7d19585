// `kxu archive`: string arrays in the archive format host modules exchange.
#pragma once

#include "command_line.h"

namespace kxu::tool {

// `kxu archive list FILE` prints each stored string as "INDEX<TAB>TEXT";
// `kxu archive store FILE TEXT...` writes the texts as one array.
void AddArchiveCommands(CommandLine& commands);

}  // namespace kxu::tool
