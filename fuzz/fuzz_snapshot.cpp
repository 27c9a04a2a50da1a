// The snapshot RAM extraction, on the bytes in memory and through the file reader.
//
// A real snapshot is over 64 KiB, too long for useful mutation, so the first two input
// bytes may ask for zero padding: with bit 0 of the first byte set, 65,562 - second byte
// zero bytes are appended to the rest of the input. A small input that ends a few bytes
// after the memory module's header then becomes a snapshot with just enough, or one byte
// too little, memory. The reader's verdict is checked against an independent walk of the
// module table.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

namespace
{

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Where the RAM starts by the snapshot's structure, worked out independently of the reader:
// the magic at 0, the machine C64 or C64SC, the optional version block, then the modules up
// to the first "C64MEM", each length at least its header and inside the data; -1 when refused.
long long ExpectedRamStart(const Bytes& d)
{
    if (d.size() < 37 || std::memcmp(d.data(), "VICE Snapshot File\x1a", 19) != 0) return -1;
    const std::string machine(reinterpret_cast<const char*>(d.data()) + 21,
                              strnlen(reinterpret_cast<const char*>(d.data()) + 21, 16));
    if (machine != "C64" && machine != "C64SC") return -1;
    std::size_t at = 37;
    if (d.size() - at >= 13 && std::memcmp(d.data() + at, "VICE Version\x1a", 13) == 0)
    {
        if (d.size() - at < 21) return -1;
        at += 21;
    }
    static const char kMemoryName[16] = {'C', '6', '4', 'M', 'E', 'M'};
    while (d.size() - at >= 22)
    {
        const std::uint32_t length = Le32(d.data() + at + 18);
        if (length < 22 || length > d.size() - at) return -1;
        if (std::memcmp(d.data() + at, kMemoryName, 16) == 0)
            return length >= 22 + 4 + kC64RamBytes ? static_cast<long long>(at + kC64RamOffset) : -1;
        at += length;
    }
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

    const long long ramStart = ExpectedRamStart(data);
    const bool valid = ramStart >= 0;

    const Bytes untouched(kC64RamBytes, 0x5C);
    Bytes ram = untouched;
    SnapshotFacts facts;
    const bool extracted = ParseSnapshot(data.data(), data.size(), ram.data(), &facts);
    FUZZ_CHECK(extracted == valid);
    FUZZ_CHECK(facts.videoBank >= -1 && facts.videoBank < kVideoBankCount);
    FUZZ_CHECK((facts.problem == SnapshotProblem::None) == extracted);
    FUZZ_CHECK(SnapshotProblemText(facts).find('\x1b') == std::string::npos);
    if (extracted)
        FUZZ_CHECK(std::memcmp(ram.data(), data.data() + ramStart, kC64RamBytes) == 0);
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
