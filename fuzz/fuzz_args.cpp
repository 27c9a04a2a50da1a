// The kelmora-cli argument parser over arbitrary argument lists (the input split at
// zero bytes). Every outcome must be one the tool can act on: a usage error says what
// is wrong, and a command to run carries values inside their documented ranges.
#include "cli/Args.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kelmora::cli;

#define FUZZ_CHECK(condition)                                                                                \
    do                                                                                                       \
    {                                                                                                        \
        if (!(condition))                                                                                    \
        {                                                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace
{

bool IsSpriteFormat(Format f)
{
    return f == Format::Project || f == Format::Raw || f == Format::Prg || f == Format::Seuck;
}

void CheckRunnable(const Options& o)
{
    FUZZ_CHECK(o.command != Command::None);
    FUZZ_CHECK(o.files.size() == (o.command == Command::Info ? 1u : 2u));
    FUZZ_CHECK(o.loadAddress >= -1 && o.loadAddress <= 0xFFFF);
    if (o.range.given) FUZZ_CHECK(o.range.first >= 0 && o.range.first <= o.range.last && o.range.last <= 255);
    FUZZ_CHECK(o.bank >= 0 && o.bank <= 3);
    // import-image keeps 0 for "not given": every cell, as many columns as fit, the scale detected.
    const bool import = o.command == Command::ImportImage;
    FUZZ_CHECK(o.count >= (import ? 0 : 1) && o.count <= 256);
    FUZZ_CHECK(o.columns >= (import ? 0 : 1) && o.columns <= 256);
    FUZZ_CHECK(o.scale >= (import ? 0 : 1) && o.scale <= (import ? 64 : 8));
    FUZZ_CHECK(o.background >= -1 && o.background <= 15 && o.multi1 >= -1 && o.multi1 <= 15 &&
               o.multi2 >= -1 && o.multi2 <= 15);
    FUZZ_CHECK(o.offsetX >= 0 && o.offsetY >= 0 && o.gapX >= 0 && o.gapY >= 0);
    if (import)
    {
        FUZZ_CHECK(IsSpriteFormat(o.to));
        FUZZ_CHECK(o.toAttr == AttrLayout::Native || o.toAttr == AttrLayout::Seuck);
    }
    if (o.command != Command::Rip && !import)
    {
        FUZZ_CHECK(o.from != Format::Guess);
        FUZZ_CHECK(o.fromAttr != AttrLayout::Default);
        FUZZ_CHECK(o.toAttr == AttrLayout::Native || o.toAttr == AttrLayout::Seuck);
        if (o.from == Format::Project) FUZZ_CHECK(o.fromAttr == AttrLayout::Native);
    }
    if (o.command == Command::Convert || o.command == Command::Rip || import)
    {
        FUZZ_CHECK(IsSpriteFormat(o.to));
        if (o.to == Format::Prg)
            FUZZ_CHECK(o.loadAddress >= 0);
        else
            FUZZ_CHECK(o.loadAddress == -1);
        if (o.noInf) FUZZ_CHECK(o.to == Format::Raw);
    }
    if (o.command == Command::Sheet) FUZZ_CHECK(o.image != ImageFormat::Guess);
    if (o.command == Command::Listing && !o.label.empty()) FUZZ_CHECK(o.dialect != Dialect::Plain);
    if (o.command == Command::Gif)
    {
        FUZZ_CHECK(o.delay >= kelmora::kMinFrameDelay && o.delay <= kelmora::kMaxFrameDelay);
        FUZZ_CHECK(o.scale >= 1 && o.scale <= 8);
        FUZZ_CHECK(o.sequence.empty() || (!o.range.given && o.from == Format::Project));
        FUZZ_CHECK(o.strip.empty() || o.strip != o.files[1]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i)
    {
        if (data[i] == 0)
        {
            args.push_back(current);
            current.clear();
        }
        else
        {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (size > 0) args.push_back(current);

    const ParseResult result = ParseArgs(args);
    switch (result.outcome)
    {
    case ParseOutcome::Usage:
        FUZZ_CHECK(!result.message.empty());
        break;
    case ParseOutcome::Run:
        CheckRunnable(result.options);
        break;
    case ParseOutcome::Help:
    case ParseOutcome::Version:
        break;
    }
    // The same arguments always give the same answer.
    const ParseResult again = ParseArgs(args);
    FUZZ_CHECK(again.outcome == result.outcome && again.message == result.message);

    // The address parser on every argument: -1 or an address, and the value survives
    // being written out in hexadecimal and read again.
    for (const std::string& arg : args)
    {
        const int address = ParseLoadAddress(arg);
        FUZZ_CHECK(address >= -1 && address <= 0xFFFF);
        if (address >= 0)
        {
            char text[8];
            std::snprintf(text, sizeof text, "$%04X", static_cast<unsigned>(address));
            FUZZ_CHECK(ParseLoadAddress(text) == address);
        }
    }
    return 0;
}
