// The host's string library as this library sees it: the UTF-8 string class
// and the text file classes. Code outside host/zstrings96
// includes this header only.
#pragma once

#include <kxutils96/host/zstrings96/string_utf8.h>
#include <kxutils96/host/zstrings96/text_stdio_file.h>
