# Doxygen's input filter for the public headers: their comments are plain
# `//` comments in the house style, so it reads the first block of a header
# as the file's description, every other block of whole-line comments as the
# description of what follows it, and a comment after a member on its line as
# that member's.
BEGIN { in_head = 1 }
in_head && /^\/\// {
  if (!started) { print "/// \\file"; started = 1 }
  sub(/^\/\//, "///"); print; next
}
{ in_head = 0 }
/^[ \t]*\/\/( |$)/ { sub(/\/\//, "///"); print; next }
/[;,{][ \t]+\/\/ / { sub(/[ \t]+\/\/ /, "  ///< "); print; next }
{ print }
