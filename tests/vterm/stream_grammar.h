#pragma once

#include <string>

#include "choices.h"

namespace quill::test {

// A random stream of text and the control sequences the extended terminal
// performs as xterm does, leaving out those where libvterm 0.1.4 differs
// from xterm (see stream_grammar.cpp). At most `pieces` pieces.
std::string GenerateStream(Choices& choices, int pieces);

}  // namespace quill::test
