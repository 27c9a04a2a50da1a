// The assembler-style text listing of a range of sprites.
#include "core/TextListing.h"

#include "core/FileIO.h"

#include <cstdio>
#include <string>

namespace kelmora
{

namespace
{

void AppendValue(std::string& out, u8 value, bool hex, char separator)
{
    char text[8];
    std::snprintf(text, sizeof text, hex ? "$%02X%c" : "%d%c", static_cast<int>(value), separator);
    out += text;
}

} // namespace

bool EncodeTextListing(const u8* block, int first, int last, int hex, std::string& listing)
{
    if (block == nullptr || !ValidSlot(first) || !ValidSlot(last)) return false;
    std::string text;
    for (int i = first; i <= last; ++i)
    {
        text += "\n; Sprite " + std::to_string(i) + "\n\n";
        const u8* sprite = block + i * kSpriteBytes;
        for (int k = 0; k < kSpriteBytes; ++k)
            AppendValue(text, sprite[k], hex != 0, k == kAttributeByte ? '\n' : ',');
    }
    listing.swap(text);
    return true;
}

int WriteTextListing(const u8* block, int first, int last, const char* path, int hex)
{
    return WriteTextListing(block, first, last, path, hex, nullptr);
}

int WriteTextListing(const u8* block, int first, int last, const char* path, int hex, FileResult* why)
{
    std::string text;
    if (path == nullptr || !EncodeTextListing(block, first, last, hex, text))
        return SetFileResult(why, FileError::Invalid) ? 1 : -1;
    return WriteWholeFile(path, text.data(), text.size(), why) ? 1 : -1;
}

} // namespace kelmora
