// kelmora-cli's listings over the core's FormatListing and ReadListing.
#include "cli/Listing.h"

#include "cli/ListingArgs.h"
#include "cli/Outputs.h"
#include "cli/Text.h"

#include <algorithm>
#include <cstdio>

#include "core/FileIO.h"
#include "core/Sprite.h"
#include "core/SpriteNames.h"

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

InputExtras ReadInputExtras(const std::string& input, bool isProject)
{
    InputExtras read;
    read.project = isProject;
    read.path = kelmora::ExtrasPathFor(input);
    if (isProject) read.status = kelmora::ReadProjectExtras(input, read.extras, read.message);
    return read;
}

bool ApplyListingPreset(Options& o, const InputExtras& extras, std::string& reason)
{
    const std::string wanted = "no preset " + Shown(o.preset);
    if (!extras.project)
    {
        reason = wanted + ": presets are kept in a project's side file, and this is not a project";
        return false;
    }
    switch (extras.status)
    {
    case kelmora::ExtrasReadStatus::Missing:
        reason = wanted + ": there is no side file " + Shown(extras.path);
        return false;
    case kelmora::ExtrasReadStatus::Refused:
        reason = "the presets cannot be read: " + Shown(extras.path) + ": " + extras.message;
        return false;
    case kelmora::ExtrasReadStatus::Read:
        break;
    }
    const kelmora::ListingPreset* found = kelmora::FindListingPreset(extras.extras, o.preset);
    if (!found)
    {
        reason = wanted + " (";
        if (extras.extras.exportPresets.empty()) reason += "the project has none";
        for (std::size_t i = 0; i < extras.extras.exportPresets.size(); ++i)
            reason +=
                (i == 0 ? "the project's presets: " : ", ") + Shown(extras.extras.exportPresets[i].name);
        reason += ")";
        return false;
    }
    kelmora::ListingOptions preset = found->options;

    // The options given on the command line go over the preset's.
    for (const auto& arg : o.listingArgs)
        if (!ApplyListingOption(arg.first, arg.second, preset).empty())
        {
            reason = "--" + arg.first + ": cannot be used with the preset " + Shown(o.preset);
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

bool ListingNames(const Options& o, const InputExtras& extras, std::vector<std::string>& names,
                  std::string& reason, std::ostream& err)
{
    names.clear();
    if (o.dialect == Dialect::Plain || o.listing.labels != kelmora::ListingLabels::Names) return true;
    if (!extras.project)
    {
        Warn(err, o.files[0],
             "--labels names: only a project's sprites have names, so no labels are written");
        return true;
    }
    if (extras.status == kelmora::ExtrasReadStatus::Refused)
    {
        reason = "the sprite names cannot be read: " + Shown(extras.path) + ": " + extras.message;
        return false;
    }
    names = kelmora::SpriteNameTable(extras.extras);
    return true;
}

bool ListingBytes(const Options& o, const LoadedBank& input, int first, int last,
                  const std::vector<std::string>& names, std::vector<std::uint8_t>& bytes,
                  std::string& reason)
{
    kelmora::ListingOptions options = o.listing;
    options.dialect = CoreDialect(o.dialect);
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
        reason = kelmora::ListingReadProblemText(read);
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
