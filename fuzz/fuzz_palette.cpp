// The palettes.pal reader over arbitrary text: never more palettes than slots, nothing
// written past them, names of at most 32 characters without quotes, 24-bit colours, and
// the file reader agreeing with the text parser. A smaller maximum keeps the same first
// palettes.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

namespace
{

constexpr int kSlots = kMaxLoadedPalettes;

bool SamePalette(const NamedPalette& a, const NamedPalette& b)
{
    return a.name == b.name && std::memcmp(a.colours, b.colours, sizeof a.colours) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = WorkFile("palettes.pal");
    PutFile(path, data, size);

    // One guard slot past the ones offered.
    NamedPalette fromFile[kSlots + 1];
    fromFile[kSlots].name = "guard";
    fromFile[kSlots].colours[0] = 0xABCDEF;
    const int kept = ReadPalettes(path.c_str(), fromFile, kSlots);
    FUZZ_CHECK(kept >= -1 && kept <= kSlots);
    FUZZ_CHECK(fromFile[kSlots].name == "guard" && fromFile[kSlots].colours[0] == 0xABCDEF);
    FUZZ_CHECK((kept == -1) == (size == 0));
    for (int k = 0; k < kept; ++k)
    {
        FUZZ_CHECK(fromFile[k].name.size() <= std::size_t(kMaxPaletteNameLength));
        FUZZ_CHECK(fromFile[k].name.find('"') == std::string::npos);
        for (std::uint32_t colour : fromFile[k].colours)
            FUZZ_CHECK(colour <= 0xFFFFFF);
    }

    const std::string text(reinterpret_cast<const char*>(data), size);
    NamedPalette parsed[kSlots];
    const int parsedCount = ParsePalettes(text, parsed, kSlots);
    FUZZ_CHECK(parsedCount == (size == 0 ? 0 : kept));
    for (int k = 0; k < kept; ++k)
        FUZZ_CHECK(SamePalette(parsed[k], fromFile[k]));

    NamedPalette few[3 + 1];
    few[3].name = "guard";
    const int fewCount = ParsePalettes(text, few, 3);
    FUZZ_CHECK(fewCount == (parsedCount < 3 ? parsedCount : 3));
    FUZZ_CHECK(few[3].name == "guard");
    for (int k = 0; k < fewCount; ++k)
        FUZZ_CHECK(SamePalette(few[k], parsed[k]));
    return 0;
}
