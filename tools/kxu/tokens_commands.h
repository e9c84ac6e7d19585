// `kxu tokens`, `csv`, `keyvalues`, `split-by-str`, `labels`: the token
// splitter and the families built on it.
#pragma once

#include "command_line.h"

namespace kxu::tool {

void AddTokensCommands(CommandLine& commands);

}  // namespace kxu::tool
