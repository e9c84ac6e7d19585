// `kxu copy-dir`, `delete-files`, `relpath`, `palette`: directories, relative
// paths and palette files.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddDirectoryCommands(CommandLine& commands);

}  // namespace kxu::tool
