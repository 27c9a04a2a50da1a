// Reading the C64 memory out of a VICE emulator snapshot, by the snapshot's structure.
#include "core/Snapshot.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/FileIO.h"

namespace kelmora
{

namespace
{

const char kSnapshotMagic[] = "VICE Snapshot File\x1a"; // 19 bytes
const char kVersionMagic[] = "VICE Version\x1a";        // 13 bytes
constexpr std::size_t kMagicBytes = sizeof kSnapshotMagic - 1;
constexpr std::size_t kMachineNameBytes = 16;
constexpr std::size_t kHeaderBytes = kMagicBytes + 2 + kMachineNameBytes; // 37
constexpr std::size_t kVersionBlockBytes = sizeof kVersionMagic - 1 + 8;  // 21
constexpr std::size_t kModuleNameBytes = 16;
constexpr std::size_t kPortBytes = 4; // before the RAM in the memory module
constexpr std::size_t kMemoryModuleBytes = kSnapshotModuleHeaderBytes + kPortBytes + kC64RamBytes;

static_assert(kC64RamOffset == kSnapshotModuleHeaderBytes + kPortBytes, "the RAM follows the port bytes");

// A zero-padded name field as text (up to its first zero byte).
std::string NameField(const std::uint8_t* field, std::size_t size)
{
    std::size_t n = 0;
    while (n < size && field[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

bool NameIs(const std::uint8_t* field, const char* name)
{
    const std::size_t n = std::strlen(name);
    if (std::memcmp(field, name, n) != 0) return false;
    for (std::size_t i = n; i < kModuleNameBytes; ++i)
        if (field[i] != 0) return false;
    return true;
}

std::uint32_t LittleEndian32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Parsed
{
    SnapshotFacts facts;
    std::size_t ramStart = 0; // valid when facts.problem is None
};

Parsed Parse(const std::uint8_t* data, std::size_t length)
{
    Parsed out;
    SnapshotFacts& facts = out.facts;
    if (data == nullptr || length < kMagicBytes || std::memcmp(data, kSnapshotMagic, kMagicBytes) != 0)
    {
        facts.problem = SnapshotProblem::NotASnapshot;
        return out;
    }
    if (length < kHeaderBytes)
    {
        facts.problem = SnapshotProblem::HeaderCut;
        return out;
    }
    facts.machine = NameField(data + kMagicBytes + 2, kMachineNameBytes);
    if (facts.machine != "C64" && facts.machine != "C64SC")
    {
        facts.problem = SnapshotProblem::OtherMachine;
        return out;
    }

    std::size_t at = kHeaderBytes;
    const std::size_t versionMagicBytes = sizeof kVersionMagic - 1;
    if (length - at >= versionMagicBytes && std::memcmp(data + at, kVersionMagic, versionMagicBytes) == 0)
    {
        if (length - at < kVersionBlockBytes)
        {
            facts.problem = SnapshotProblem::HeaderCut;
            return out;
        }
        at += kVersionBlockBytes;
    }

    // The module table, until the data ends or a module cannot be trusted.
    bool memoryFound = false;
    SnapshotProblem tableProblem = SnapshotProblem::None;
    std::size_t problemAt = 0;
    while (at < length)
    {
        if (length - at < kSnapshotModuleHeaderBytes)
        {
            tableProblem = SnapshotProblem::ModulePastEnd;
            problemAt = at;
            break;
        }
        const std::uint8_t* module = data + at;
        const std::uint32_t moduleLength = LittleEndian32(module + kModuleNameBytes + 2);
        const bool isMemory = NameIs(module, "C64MEM");
        if (moduleLength < kSnapshotModuleHeaderBytes)
        {
            tableProblem = isMemory && !memoryFound ? SnapshotProblem::IncompleteMemory
                                                    : SnapshotProblem::ModuleTooShort;
            problemAt = at;
            break;
        }
        if (moduleLength > length - at)
        {
            tableProblem =
                isMemory && !memoryFound ? SnapshotProblem::IncompleteMemory : SnapshotProblem::ModulePastEnd;
            problemAt = at;
            break;
        }
        if (isMemory && !memoryFound)
        {
            if (moduleLength < kMemoryModuleBytes)
            {
                tableProblem = SnapshotProblem::IncompleteMemory;
                problemAt = at;
                break;
            }
            memoryFound = true;
            facts.memoryModule = at;
            out.ramStart = at + kC64RamOffset;
        }
        else if (NameIs(module, "CIA2") && facts.videoBank < 0 &&
                 moduleLength >= kSnapshotModuleHeaderBytes + 3)
        {
            // The CIA's state starts with port A, port B and port A's data direction register.
            const std::uint8_t* registers = module + kSnapshotModuleHeaderBytes;
            facts.videoBank = VideoBankFromCia2(registers[0], registers[2]);
        }
        at += moduleLength;
    }

    if (!memoryFound)
    {
        facts.problem =
            tableProblem == SnapshotProblem::None ? SnapshotProblem::NoMemoryModule : tableProblem;
        facts.problemOffset = problemAt;
        facts.videoBank = -1;
    }
    return out;
}

void AppendShown(std::string& out, const std::string& text)
{
    for (const char c : text)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F)
            out += c;
        else
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(u));
            out += escaped;
        }
    }
}

} // namespace

long long FindPattern(const std::uint8_t* data, std::size_t length, std::size_t patternLength,
                      const std::uint8_t* pattern)
{
    if (data == nullptr || pattern == nullptr || length < patternLength) return -1;
    const std::size_t last = length - patternLength;
    for (std::size_t start = 0; start <= last; ++start)
    {
        std::size_t i = 0;
        while (i < patternLength && (pattern[i] == 0xFF || pattern[i] == data[start + i]))
            ++i;
        if (i == patternLength) return static_cast<long long>(start);
    }
    return -1;
}

bool ParseSnapshot(const std::uint8_t* data, std::size_t length, std::uint8_t* ram, SnapshotFacts* facts)
{
    const Parsed parsed = Parse(data, length);
    if (facts != nullptr) *facts = parsed.facts;
    if (parsed.facts.problem != SnapshotProblem::None || ram == nullptr) return false;
    std::memcpy(ram, data + parsed.ramStart, kC64RamBytes);
    return true;
}

bool ExtractC64Ram(const std::uint8_t* data, std::size_t length, std::uint8_t* ram)
{
    return ParseSnapshot(data, length, ram, nullptr);
}

int VideoBankFromCia2(std::uint8_t portA, std::uint8_t directionA)
{
    const unsigned lines = (static_cast<unsigned>(portA) | ~static_cast<unsigned>(directionA)) & 3u;
    return static_cast<int>(3u - lines);
}

int SnapshotVideoBank(const std::uint8_t* data, std::size_t length)
{
    const Parsed parsed = Parse(data, length);
    return parsed.facts.problem == SnapshotProblem::None ? parsed.facts.videoBank : -1;
}

SnapshotStatus ReadSnapshotRam(const char* path, std::uint8_t* ram)
{
    return ReadSnapshot(path, ram, nullptr, nullptr);
}

SnapshotStatus ReadSnapshot(const char* path, std::uint8_t* ram, SnapshotFacts* facts, FileResult* why)
{
    if (facts != nullptr) *facts = SnapshotFacts{};
    if (ram == nullptr)
    {
        SetFileResult(why, FileError::Invalid);
        return SnapshotStatus::CannotOpen;
    }
    std::vector<std::uint8_t> data;
    std::uint64_t size = 0;
    if (ReadFileHead(path, kMaxSnapshotBytes, data, size, why) != ReadStatus::Ok)
        return SnapshotStatus::CannotOpen;
    SnapshotFacts seen;
    const bool ok = ParseSnapshot(data.data(), data.size(), ram, &seen);
    if (!ok)
    {
        seen.beyondReadLimit = size > data.size() && (seen.problem == SnapshotProblem::ModulePastEnd ||
                                                      seen.problem == SnapshotProblem::IncompleteMemory ||
                                                      seen.problem == SnapshotProblem::NoMemoryModule);
        SetFileResult(why, FileError::Invalid);
    }
    if (facts != nullptr) *facts = seen;
    return ok ? SnapshotStatus::Ok : SnapshotStatus::Invalid;
}

std::string SnapshotProblemText(const SnapshotFacts& facts)
{
    std::string text;
    switch (facts.problem)
    {
    case SnapshotProblem::None:
        return {};
    case SnapshotProblem::NotASnapshot:
        return "the file does not start with \"VICE Snapshot File\"";
    case SnapshotProblem::HeaderCut:
        return "the file ends inside the snapshot's header";
    case SnapshotProblem::OtherMachine:
        if (facts.machine.empty()) return "the snapshot names no machine";
        text = "this is a snapshot of a ";
        AppendShown(text, facts.machine);
        return text;
    case SnapshotProblem::ModulePastEnd:
        text = "the module at byte " + std::to_string(facts.problemOffset) + " runs past the end of the file";
        break;
    case SnapshotProblem::ModuleTooShort:
        text =
            "the module at byte " + std::to_string(facts.problemOffset) + " is shorter than its own header";
        break;
    case SnapshotProblem::NoMemoryModule:
        text = "it holds no C64 memory module";
        break;
    case SnapshotProblem::IncompleteMemory:
        text = "the memory module is incomplete";
        break;
    }
    if (facts.beyondReadLimit) text += " (only the first 64 MiB of a snapshot are read)";
    return text;
}

void CopyVideoBank(const std::uint8_t* ram, int bank, std::uint8_t* block)
{
    if (ram == nullptr || block == nullptr || bank < 0 || bank >= kVideoBankCount) return;
    std::memcpy(block, ram + static_cast<std::size_t>(bank) * kVideoBankBytes, kVideoBankBytes);
}

} // namespace kelmora
