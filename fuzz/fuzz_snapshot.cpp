// The snapshot RAM extraction, on the bytes in memory and through the file reader.
//
// A real snapshot is over 64 KiB, too long for useful mutation, so the first two input
// bytes may ask for zero padding: with bit 0 of the first byte set, 65,562 - second byte
// zero bytes are appended to the rest of the input. A small input that ends a few bytes
// after "C64MEM" then becomes a snapshot with just enough, or one byte too little, memory.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

namespace
{

const char kMagic[] = "VICE Snapshot File";
const char kModule[] = "C64MEM";

long long Find(const Bytes& data, const char* text)
{
    const std::size_t n = std::strlen(text);
    if (data.size() < n) return -1;
    for (std::size_t i = 0; i + n <= data.size(); ++i)
        if (std::memcmp(data.data() + i, text, n) == 0) return static_cast<long long>(i);
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    static const std::string path = WorkFile("input.vsf");
    Bytes data;
    if (size >= 2 && (input[0] & 1) != 0)
    {
        data.assign(input + 2, input + size);
        data.resize(data.size() + kC64RamOffset + kC64RamBytes - input[1], 0);
    }
    else
    {
        data.assign(input, input + size);
    }

    // What the reader should do, worked out independently.
    const long long p = Find(data, kModule);
    const bool valid = Find(data, kMagic) >= 0 && p >= 0 &&
                       data.size() - static_cast<std::size_t>(p) >= kC64RamOffset + kC64RamBytes;

    const Bytes untouched(kC64RamBytes, 0x5C);
    Bytes ram = untouched;
    const bool extracted = ExtractC64Ram(data.data(), data.size(), ram.data());
    FUZZ_CHECK(extracted == valid);
    if (extracted)
        FUZZ_CHECK(std::memcmp(ram.data(), data.data() + p + kC64RamOffset, kC64RamBytes) == 0);
    else
        FUZZ_CHECK(ram == untouched);

    PutFile(path, data.data(), data.size());
    Bytes fromFile = untouched;
    const SnapshotStatus status = ReadSnapshotRam(path.c_str(), fromFile.data());
    FUZZ_CHECK(status == (valid ? SnapshotStatus::Ok : SnapshotStatus::Invalid));
    FUZZ_CHECK(fromFile == ram);

    // Copying any video bank stays inside the block.
    Bytes block(kBlockBytes, 0x11);
    const int videoBank = size > 0 ? input[0] % 6 - 1 : 0; // -1..4: two of them invalid
    CopyVideoBank(fromFile.data(), videoBank, block.data());
    if (videoBank >= 0 && videoBank < kVideoBankCount)
        FUZZ_CHECK(
            std::memcmp(block.data(), fromFile.data() + videoBank * kVideoBankBytes, kVideoBankBytes) == 0);
    else
        FUZZ_CHECK(block == Bytes(kBlockBytes, 0x11));
    return 0;
}
