// LoadRawSprites with and without the ".inf" side file. The first input byte decides
// the side file: bit 0 set writes one, of (byte >> 1) & 7 bytes taken from the
// input's end; the rest is the data file.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = WorkFile("input.raw");
    static const std::string side = path + ".inf";
    if (size == 0) return 0;

    const std::uint8_t control = data[0];
    ++data;
    --size;
    const bool withSide = (control & 1) != 0;
    std::size_t sideSize = withSide ? (control >> 1) & 7 : 0;
    if (sideSize > size) sideSize = size;
    const std::size_t dataSize = size - sideSize;
    const std::uint8_t* sideBytes = data + dataSize;

    PutFile(path, data, dataSize);
    if (withSide)
        PutFile(side, sideBytes, sideSize);
    else
        unlink(side.c_str());

    FuzzBank bank;
    const FuzzBank& reference = FuzzBank::Reference();
    const int result = LoadRawSprites(&bank.bank, path.c_str());
    FUZZ_CHECK(result == 0 || result == 1);

    const bool valid = dataSize >= std::size_t(kSpriteBytes) && dataSize % kSpriteBytes == 0 &&
                       dataSize <= std::size_t(kBlockBytes);
    FUZZ_CHECK(result == (valid ? 1 : 0));
    if (result == 0)
    {
        FUZZ_CHECK(bank.SameAs(reference));
        return 0;
    }
    const int count = static_cast<int>(dataSize / kSpriteBytes);
    FUZZ_CHECK(bank.bank.spriteCount == count && count >= 1 && count <= kSlotCount);
    FUZZ_CHECK(std::memcmp(bank.block.data(), data, dataSize) == 0);
    FUZZ_CHECK(bank.ClearedFrom(count));
    FUZZ_CHECK(bank.EditingStateKept(reference));
    // Only a side file of exactly three bytes sets the shared colours.
    const bool colours = withSide && sideSize == 3;
    FUZZ_CHECK(bank.bank.colourTransp == (colours ? sideBytes[0] : reference.bank.colourTransp));
    FUZZ_CHECK(bank.bank.colourMulti1 == (colours ? sideBytes[1] : reference.bank.colourMulti1));
    FUZZ_CHECK(bank.bank.colourMulti2 == (colours ? sideBytes[2] : reference.bank.colourMulti2));
    return 0;
}
