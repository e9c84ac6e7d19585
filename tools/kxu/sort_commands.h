// `kxu sort` and `kxu freq`: the sort family and discrete frequencies over
// the lines of a text.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddSortCommands(CommandLine& commands);

}  // namespace kxu::tool
