// `kxu format`, `kxu msg`, `kxu heading`: the ordered formatter and the
// numbered messages of the message stores.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddMessageCommands(CommandLine& commands);

}  // namespace kxu::tool
