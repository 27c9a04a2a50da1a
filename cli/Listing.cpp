// Sprite listings for assemblers and C compilers.
#include "cli/Listing.h"

#include <cstdio>

namespace kelmora::cli
{

namespace
{

struct DialectShape
{
    const char* labelSuffix;  // after the label at the start of a line
    const char* commentStart; // before "Sprite N"
    const char* commentEnd;
    const char* directive; // before each line of values
};

DialectShape ShapeOf(Dialect dialect)
{
    switch (dialect)
    {
    case Dialect::Acme:
        return {"", "; ", "", "\t!byte "};
    case Dialect::KickAss:
        return {":", "// ", "", "\t.byte "};
    case Dialect::Ca65:
        return {":", "; ", "", "\t.byte "};
    case Dialect::Tass64:
        return {"", "; ", "", "\t.byte "};
    case Dialect::C:
        return {"", "/* ", " */", ""};
    case Dialect::Plain:
        break;
    }
    return {"", "; ", "", ""};
}

void AppendValue(std::string& out, kelmora::u8 value, bool hex, bool c)
{
    char text[8];
    if (!hex)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, c ? "0x%02X" : "$%02X", static_cast<int>(value));
    out += text;
}

} // namespace

std::string FormatListing(const kelmora::u8* block, int first, int last, Dialect dialect, bool hex,
                          const std::string& label)
{
    std::string out;
    if (block == nullptr || !ValidSlot(first) || !ValidSlot(last) || first > last) return out;
    const DialectShape shape = ShapeOf(dialect);
    const bool c = dialect == Dialect::C;
    const int count = last - first + 1;

    if (c)
        out += "const unsigned char " + (label.empty() ? std::string(kDefaultCArrayName) : label) + "[" +
               std::to_string(count * kSpriteBytes) + "] = {\n";
    else if (!label.empty())
        out += label + shape.labelSuffix + "\n";

    for (int i = first; i <= last; ++i)
    {
        out += "\n";
        out += shape.commentStart;
        out += "Sprite " + std::to_string(i);
        out += shape.commentEnd;
        out += "\n\n";
        out += shape.directive;
        const kelmora::u8* sprite = block + i * kSpriteBytes;
        for (int k = 0; k < kSpriteBytes; ++k)
        {
            if (k > 0) out += ',';
            AppendValue(out, sprite[k], hex, c);
        }
        if (c && i < last) out += ',';
        out += '\n';
    }
    if (c) out += "};\n";
    return out;
}

} // namespace kelmora::cli
