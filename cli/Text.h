// Text from files and the command line made safe for a terminal and for JSON.
#pragma once

#include <cstddef>
#include <string>

namespace kelmora::cli
{

// The length (2 to 4) of the well-formed UTF-8 sequence starting at text[i], with its code
// point in *code; 0 when the byte there starts no such sequence (an ASCII byte included).
std::size_t Utf8SequenceAt(const std::string& text, std::size_t i, unsigned* code);

// text as it may be shown on a terminal: control characters become escapes (C0 and DEL
// as \xNN, the C1 controls U+0080..U+009F as \u00NN), and so do bytes that are not
// UTF-8 (\xNN); everything else, UTF-8 included, stays as it is.
std::string Shown(const std::string& text);

} // namespace kelmora::cli
