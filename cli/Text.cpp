// Text from files and the command line made safe for a terminal.
#include "cli/Text.h"

#include <cstdio>

namespace kelmora::cli
{

namespace
{

void AppendEscape(std::string& out, const char* format, unsigned value)
{
    char text[12];
    std::snprintf(text, sizeof text, format, value);
    out += text;
}

} // namespace

std::size_t Utf8SequenceAt(const std::string& text, std::size_t i, unsigned* code)
{
    if (i >= text.size()) return 0;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                               : c >= 0xE0 && c <= 0xEF ? 3
                               : c >= 0xF0 && c <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || text.size() - i < length) return 0;
    unsigned value = length == 2 ? c & 0x1Fu : length == 3 ? c & 0x0Fu : c & 0x07u;
    for (std::size_t k = 1; k < length; ++k)
    {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no UTF-8.
    if ((length == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
        (length == 4 && (value < 0x10000 || value > 0x10FFFF)))
        return 0;
    if (code != nullptr) *code = value;
    return length;
}

std::string Shown(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F)
        {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        unsigned code = 0;
        const std::size_t length = c >= 0x80 ? Utf8SequenceAt(text, i, &code) : 0;
        if (length == 0)
        {
            AppendEscape(out, "\\x%02X", c);
            ++i;
        }
        else if (code <= 0x9F)
        {
            AppendEscape(out, "\\u%04X", code);
            i += length;
        }
        else
        {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

} // namespace kelmora::cli
