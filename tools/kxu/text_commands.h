// `kxu wrap`, `pad`, `url`, `html`, `c-string`, `c-name`, `strip-comments`,
// `expr`, `keyword-replace`: the text transforms, from stdin to stdout.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddTextCommands(CommandLine& commands);

}  // namespace kxu::tool
