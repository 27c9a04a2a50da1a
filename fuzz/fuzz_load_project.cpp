// LoadProject over arbitrary file contents: a refusal leaves the bank byte for byte as it
// was; a load takes exactly the file's colours and sprites and clears every other slot.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = WorkFile("input.kmd");
    PutFile(path, data, size);

    FuzzBank bank;
    const FuzzBank& reference = FuzzBank::Reference();
    const int result = LoadProject(&bank.bank, path.c_str());
    FUZZ_CHECK(result == 0 || result == 1);

    const bool valid = size > 3 && (size - 3) % kSpriteBytes == 0 && size - 3 <= std::size_t(kBlockBytes);
    FUZZ_CHECK(result == (valid ? 1 : 0));
    if (result == 0)
    {
        FUZZ_CHECK(bank.SameAs(reference));
        return 0;
    }
    const int count = static_cast<int>((size - 3) / kSpriteBytes);
    FUZZ_CHECK(bank.bank.spriteCount == count && count >= 1 && count <= kSlotCount);
    FUZZ_CHECK(bank.bank.colourTransp == data[0] && bank.bank.colourMulti1 == data[1] &&
               bank.bank.colourMulti2 == data[2]);
    FUZZ_CHECK(std::memcmp(bank.block.data(), data + 3, size - 3) == 0);
    FUZZ_CHECK(bank.ClearedFrom(count));
    FUZZ_CHECK(bank.EditingStateKept(reference));
    return 0;
}
