// `kxu convert`, `read`, `lines`, `write`: code pages, text files of any
// encoding, and UTF-8 files.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddFileCommands(CommandLine& commands);

}  // namespace kxu::tool
