// The listing reader over arbitrary bytes: a refusal holds nothing, a result holds 1 to
// 256 whole sprites with a name each, and what was read, listed again, reads back the same.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> file(data, data + size);
    const int bytes = size > 0 && data[0] % 3 == 1 ? 63 : size > 0 && data[0] % 3 == 2 ? 64 : 0;
    const ListingReadResult r = ReadListing(file, bytes);
    if (r.problem != ListingReadProblem::None)
    {
        FUZZ_CHECK(r.spriteCount == 0 && r.sprites.empty() && r.names.empty());
        return 0;
    }
    FUZZ_CHECK(r.spriteCount >= 1 && r.spriteCount <= kSlotCount);
    FUZZ_CHECK(r.sprites.size() == std::size_t(r.spriteCount) * kSpriteBytes);
    FUZZ_CHECK(r.names.size() == std::size_t(r.spriteCount));
    FUZZ_CHECK(r.bytesPerSprite == 63 || r.bytesPerSprite == 64);
    FUZZ_CHECK(bytes == 0 || r.bytesPerSprite == bytes);

    std::vector<u8> block(kBlockBytes);
    std::copy(r.sprites.begin(), r.sprites.end(), block.begin());
    SpriteBank bank{};
    bank.sprites = block.data();
    ListingOptions options;
    options.numbers = ListingNumbers::Binary;
    const ListingOutput listed = FormatListing(bank, 0, r.spriteCount - 1, options, {});
    FUZZ_CHECK(listed.problem == ListingProblem::None);
    const ListingReadResult again = ReadListing(listed.bytes, 0);
    FUZZ_CHECK(again.problem == ListingReadProblem::None && again.sprites == r.sprites);
    return 0;
}
