// kelmora-cli's listings over the core's FormatListing and ReadListing.
#include "cli/Listing.h"

#include "cli/ListingArgs.h"

#include <algorithm>
#include <cstdio>

#include "core/FileIO.h"
#include "core/Sprite.h"

namespace kelmora::cli
{

namespace
{

constexpr std::uint64_t kMostListingBytes = 64ull << 20; // far above any listing of 256 sprites

std::string Hex4(int address)
{
    char text[8];
    std::snprintf(text, sizeof text, "$%04X", static_cast<unsigned>(address));
    return text;
}

std::string OptionsProblemText(kelmora::ListingOptionsProblem problem)
{
    switch (problem)
    {
    case kelmora::ListingOptionsProblem::BytesPerSprite:
        return "the preset's bytes a sprite are not 63 or 64";
    case kelmora::ListingOptionsProblem::BlockLabel:
    case kelmora::ListingOptionsProblem::LabelPrefix:
        return "the preset's label is not a letter or _ followed by letters, digits or _";
    case kelmora::ListingOptionsProblem::HeaderAddress:
    case kelmora::ListingOptionsProblem::LoaderAddress:
        return "the preset's address is not a multiple of 64 (40 in hexadecimal)";
    case kelmora::ListingOptionsProblem::StartLine:
    case kelmora::ListingOptionsProblem::LineStep:
        return "the preset's BASIC line numbers are out of range";
    case kelmora::ListingOptionsProblem::None:
        break;
    }
    return "the options cannot be used together";
}

} // namespace

std::string FormatListing(const kelmora::u8* block, int first, int last, Dialect dialect, bool hex,
                          const std::string& label)
{
    if (block == nullptr) return {};
    kelmora::SpriteBank bank{};
    bank.sprites = const_cast<kelmora::u8*>(block); // read only
    kelmora::ListingOptions options;
    options.dialect = CoreDialect(dialect);
    options.numbers = hex ? kelmora::ListingNumbers::Hex : kelmora::ListingNumbers::Decimal;
    options.blockLabel = label;
    const kelmora::ListingOutput out = kelmora::FormatListing(bank, first, last, options, {});
    return std::string(out.bytes.begin(), out.bytes.end());
}

bool ApplyListingPreset(Options& o, std::string& reason)
{
    // ---- The lookup of --preset NAME. ----
    // Presets are named ListingOptions records kept in the project's extras
    // (NAME.kmd.json, "exportPresets"); until kelmora-cli reads those, none is found.
    kelmora::ListingOptions preset;
    const bool found = false;
    if (!found)
    {
        reason = "no preset " + o.preset;
        return false;
    }
    // ---- End of the lookup. ----

    // The options given on the command line go over the preset's.
    for (const auto& arg : o.listingArgs)
        if (!ApplyListingOption(arg.first, arg.second, preset).empty())
        {
            reason = "--" + arg.first + ": cannot be used with the preset " + o.preset;
            return false;
        }
    const bool dialectGiven =
        std::any_of(o.listingArgs.begin(), o.listingArgs.end(),
                    [](const std::pair<std::string, std::string>& a) { return a.first == "dialect"; });
    if (!dialectGiven)
    {
        static const Dialect kDialects[] = {Dialect::Acme,   Dialect::KickAss, Dialect::Ca65,
                                            Dialect::Tass64, Dialect::C,       Dialect::Basic};
        for (Dialect d : kDialects)
            if (CoreDialect(d) == preset.dialect) o.dialect = d;
    }
    o.listing = preset;
    o.listing.dialect = CoreDialect(o.dialect);
    o.hex = preset.numbers != kelmora::ListingNumbers::Decimal;
    o.label = preset.blockLabel;
    reason = ListingOptionsError(o);
    return reason.empty();
}

bool ListingBytes(const Options& o, const LoadedBank& input, int first, int last,
                  std::vector<std::uint8_t>& bytes, std::string& reason)
{
    kelmora::ListingOptions options = o.listing;
    options.dialect = CoreDialect(o.dialect);
    // Sprite names live in the project's extras (NAME.kmd.json, "names"); until kelmora-cli
    // reads those, every sprite is unnamed and --labels names writes no labels.
    const std::vector<std::string> names;
    kelmora::ListingOutput out = kelmora::FormatListing(input.bank, first, last, options, names);
    const std::string loader = Hex4(options.loaderAddress);
    switch (out.problem)
    {
    case kelmora::ListingProblem::None:
        bytes.swap(out.bytes);
        return true;
    case kelmora::ListingProblem::BadArguments:
        reason = "holds no sprites to list";
        break;
    case kelmora::ListingProblem::BadOptions:
        reason = OptionsProblemText(out.optionsProblem);
        break;
    case kelmora::ListingProblem::LineNumbersRunOut:
        reason =
            "the BASIC line numbers would pass 63999 (choose a lower --start-line or --line-step, or fewer "
            "sprites with --range)";
        break;
    case kelmora::ListingProblem::ProgramTooLarge:
        reason =
            "the BASIC program would not fit in the C64's BASIC memory ($0801-$9FFF); choose fewer sprites "
            "with --range";
        break;
    case kelmora::ListingProblem::LoaderAddressInUse:
        reason =
            "--loader " + loader +
            ": the sprites would cover the system area, the screen or the BASIC program and its variables "
            "(choose blocks in $2000-$3FFF above the program, or $0340-$03FF for up to 3 sprites)";
        break;
    case kelmora::ListingProblem::LoaderAddressHidden:
        reason = "--loader " + loader +
                 ": the video chip cannot show sprites there (it sees the character ROM at $1000-$1FFF, and "
                 "the screen's bank ends at $3FFF)";
        break;
    }
    return false;
}

std::string ListingReadProblemText(const kelmora::ListingReadResult& r)
{
    std::string where;
    if (r.program)
        where = "BASIC line " + std::to_string(r.basicLine) + ": ";
    else if (r.basicLine >= 0)
        where = "line " + std::to_string(r.line) + " (BASIC line " + std::to_string(r.basicLine) + "): ";
    else
        where = "line " + std::to_string(r.line) + ": ";
    switch (r.problem)
    {
    case kelmora::ListingReadProblem::NotText:
        return "is neither a text listing nor a BASIC program";
    case kelmora::ListingReadProblem::NoData:
        return "holds no sprite bytes (no !byte, .byte, DATA lines, C initialiser or lines of values)";
    case kelmora::ListingReadProblem::NotANumber:
        return where + "'" + r.text + "' is not a number";
    case kelmora::ListingReadProblem::OutOfRange:
        return where + r.text + " is not a byte (0..255)";
    case kelmora::ListingReadProblem::OtherData:
        return where + r.text + " writes other data between the sprite bytes";
    case kelmora::ListingReadProblem::CutShort:
        return where + "sprite " + std::to_string(r.sprite) +
               " is cut short: " + std::to_string(r.bytesFound) + " of its " +
               std::to_string(r.bytesPerSprite) + " bytes";
    case kelmora::ListingReadProblem::TooManySprites:
        return where + "more than 256 sprites";
    case kelmora::ListingReadProblem::None:
        break;
    }
    return {};
}

bool ReadListingFile(const std::string& path, int bytesPerSprite, LoadedBank& loaded,
                     std::vector<std::string>& names, std::string& reason)
{
    std::vector<std::uint8_t> file;
    kelmora::FileResult why;
    switch (kelmora::ReadWholeFile(path.c_str(), kMostListingBytes, file, &why))
    {
    case kelmora::ReadStatus::Ok:
        break;
    case kelmora::ReadStatus::TooLarge:
        reason = "is larger than 64 MiB, far too large for a listing";
        return false;
    case kelmora::ReadStatus::CannotOpen:
    case kelmora::ReadStatus::ReadError:
        reason = ReadFailureText(why);
        return false;
    }
    const kelmora::ListingReadResult read = kelmora::ReadListing(file, bytesPerSprite);
    if (read.problem != kelmora::ListingReadProblem::None)
    {
        reason = ListingReadProblemText(read);
        return false;
    }
    kelmora::ClearBank(loaded.block.data());
    std::copy(read.sprites.begin(), read.sprites.end(), loaded.block.begin());
    loaded.bank.spriteCount = read.spriteCount;
    loaded.hasColours = false;
    names = read.names;
    return true;
}

} // namespace kelmora::cli
