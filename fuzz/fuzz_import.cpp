// ImportSprites in all nine combinations of file kind (raw, PRG, auto-detect) and
// attribute treatment (keep, SEUCK, ignore) over the same file. Each result is checked
// against the rules: the minimum sizes, the PRG address, at most 256 whole sprites, the
// rest of the bank cleared, the shared colours untouched.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = WorkFile("input.prg");
    PutFile(path, data, size);

    for (int kind = kFileRaw; kind <= kFileAuto; ++kind)
    {
        for (int attr = kAttrKeep; attr <= kAttrIgnore; ++attr)
        {
            FuzzBank bank;
            const FuzzBank& reference = FuzzBank::Reference();
            const int result = ImportSprites(&bank.bank, path.c_str(), kind, attr);
            FUZZ_CHECK(result == 0 || result == 1);

            const bool refused = (kind == kFileRaw && size < 64) || (kind == kFilePrg && size < 66);
            FUZZ_CHECK(result == (refused ? 0 : 1));
            if (result == 0)
            {
                FUZZ_CHECK(bank.SameAs(reference));
                continue;
            }
            const bool prg = kind == kFilePrg || (kind == kFileAuto && size % 64 == 2);
            const std::size_t offset = prg ? 2 : 0;
            const std::size_t whole =
                (size - offset) / kSpriteBytes; // size >= offset: checked above or auto's mod 2
            const int count = whole > 256 ? 256 : static_cast<int>(whole);
            FUZZ_CHECK(bank.bank.spriteCount == count && count >= 0 && count <= kSlotCount);
            FUZZ_CHECK(bank.bank.colourTransp == reference.bank.colourTransp &&
                       bank.bank.colourMulti1 == reference.bank.colourMulti1 &&
                       bank.bank.colourMulti2 == reference.bank.colourMulti2);
            FUZZ_CHECK(bank.EditingStateKept(reference));
            FUZZ_CHECK(bank.ClearedFrom(count));
            for (int slot = 0; slot < count; ++slot)
            {
                const std::uint8_t* in = data + offset + slot * kSpriteBytes;
                const std::uint8_t* out = bank.block.data() + slot * kSpriteBytes;
                FUZZ_CHECK(std::memcmp(in, out, kPixelBytes) == 0);
                const std::uint8_t a = in[kAttributeByte];
                const std::uint8_t expected = attr == kAttrKeep    ? a
                                              : attr == kAttrSeuck ? SeuckToNative(a)
                                                                   : kIgnoredAttribute;
                FUZZ_CHECK(out[kAttributeByte] == expected);
            }
        }
    }
    return 0;
}
