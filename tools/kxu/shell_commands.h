// `kxu props`: the shell-item properties of a file.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddShellCommands(CommandLine& commands);

}  // namespace kxu::tool
