// The command line of kelmora-cli.
#include "cli/Args.h"

#include <cctype>
#include <cstddef>
#include <utility>

#include "cli/ListingArgs.h"

namespace kelmora::cli
{

namespace
{

// Commands as bits, so each option can list where it belongs.
enum : unsigned
{
    kInfo = 1,
    kConvert = 2,
    kListing = 4,
    kRip = 8,
    kSheet = 16,
    kImportListing = 32,
    kImport = 64,
    kGif = 128,
    kWritesFile = kConvert | kListing | kRip | kSheet | kImportListing | kImport | kGif,
};

unsigned CommandBit(Command command)
{
    switch (command)
    {
    case Command::Info:
        return kInfo;
    case Command::Convert:
        return kConvert;
    case Command::Listing:
        return kListing;
    case Command::Rip:
        return kRip;
    case Command::Sheet:
        return kSheet;
    case Command::ImportListing:
        return kImportListing;
    case Command::ImportImage:
        return kImport;
    case Command::Gif:
        return kGif;
    case Command::None:
        break;
    }
    return 0;
}

enum class Opt
{
    Json,
    From,
    Attr,
    FromAttr,
    ToAttr,
    Range,
    To,
    LoadAddress,
    Force,
    NoInf,
    Hex,
    Dec,
    Dialect,
    Label,
    Bank,
    Count,
    Columns,
    Scale,
    Palette,
    PaletteFile,
    // listing's options handed to ApplyListingOption (cli/Listing.h), and --preset.
    Numbers,
    Rows,
    Bytes,
    ZeroAttributes,
    Labels,
    Align,
    Header,
    Preset,
    Prg,
    StartLine,
    LineStep,
    Loader,
    Offset,
    Gap,
    Mode,
    Background,
    Multi1,
    Multi2,
    Overlay,
    Report,
    Strict,
    Sequence,
    Delay,
    Strip,
    Object,
    Count_, // the number of options
};

struct OptionSpec
{
    const char* name; // without the leading "--"
    char shortName;   // 0 when none
    bool takesValue;
    unsigned commands;
    Opt id;
};

const OptionSpec kOptions[] = {
    {"json", 0, false, kInfo, Opt::Json},
    {"from", 0, true, kInfo | kConvert | kListing | kSheet | kGif, Opt::From},
    {"attr", 0, true, kInfo | kConvert | kListing | kSheet | kGif, Opt::Attr},
    {"from-attr", 0, true, kConvert, Opt::FromAttr},
    {"to-attr", 0, true, kConvert, Opt::ToAttr},
    {"range", 0, true, kConvert | kListing | kSheet | kImportListing | kGif, Opt::Range},
    {"to", 0, true, kConvert | kRip | kSheet | kImportListing | kImport, Opt::To},
    {"load-address", 0, true, kConvert | kRip | kImportListing | kImport, Opt::LoadAddress},
    {"force", 'f', false, kWritesFile, Opt::Force},
    {"no-inf", 0, false, kConvert | kRip | kImportListing | kImport, Opt::NoInf},
    {"hex", 0, false, kListing, Opt::Hex},
    {"dec", 0, false, kListing, Opt::Dec},
    {"dialect", 0, true, kListing, Opt::Dialect},
    {"label", 0, true, kListing, Opt::Label},
    {"bank", 0, true, kRip, Opt::Bank},
    {"count", 0, true, kRip | kImport, Opt::Count},
    {"columns", 0, true, kSheet | kImport, Opt::Columns},
    {"scale", 0, true, kSheet | kImport | kGif, Opt::Scale},
    {"palette", 0, true, kSheet | kImport | kGif, Opt::Palette},
    {"palette-file", 0, true, kSheet | kImport | kGif, Opt::PaletteFile},
    {"numbers", 0, true, kListing, Opt::Numbers},
    {"rows", 0, false, kListing, Opt::Rows},
    {"bytes", 0, true, kListing | kImportListing, Opt::Bytes},
    {"zero-attributes", 0, false, kListing, Opt::ZeroAttributes},
    {"labels", 0, true, kListing, Opt::Labels},
    {"align", 0, false, kListing, Opt::Align},
    {"header", 0, true, kListing, Opt::Header},
    {"preset", 0, true, kListing, Opt::Preset},
    {"prg", 0, false, kListing, Opt::Prg},
    {"start-line", 0, true, kListing, Opt::StartLine},
    {"line-step", 0, true, kListing, Opt::LineStep},
    {"loader", 0, true, kListing, Opt::Loader},
    {"offset", 0, true, kImport, Opt::Offset},
    {"gap", 0, true, kImport, Opt::Gap},
    {"mode", 0, true, kImport | kGif, Opt::Mode},
    {"background", 0, true, kImport, Opt::Background},
    {"multi1", 0, true, kImport, Opt::Multi1},
    {"multi2", 0, true, kImport, Opt::Multi2},
    {"overlay", 0, false, kImport, Opt::Overlay},
    {"report", 0, true, kImport, Opt::Report},
    {"strict", 0, false, kImport, Opt::Strict},
    {"sequence", 0, true, kGif, Opt::Sequence},
    {"delay", 0, true, kGif, Opt::Delay},
    {"strip", 0, true, kGif, Opt::Strip},
    {"object", 0, true, kSheet | kGif, Opt::Object},
};

const OptionSpec* FindLong(const std::string& name)
{
    for (const OptionSpec& spec : kOptions)
        if (name == spec.name) return &spec;
    return nullptr;
}

const OptionSpec* FindShort(char c)
{
    for (const OptionSpec& spec : kOptions)
        if (spec.shortName != 0 && spec.shortName == c) return &spec;
    return nullptr;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A decimal number of at most a few digits, no sign. -1 when malformed or above limit.
int ParseNumber(const std::string& text, int limit)
{
    if (text.empty() || text.size() > 6) return -1;
    int value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value > limit ? -1 : value;
}

bool ParseRange(const std::string& text, SpriteRange& range)
{
    const std::size_t dash = text.find('-');
    const std::string a = text.substr(0, dash);
    const std::string b = dash == std::string::npos ? a : text.substr(dash + 1);
    const int first = ParseNumber(a, 255);
    const int last = ParseNumber(b, 255);
    if (first < 0 || last < 0 || first > last) return false;
    range.given = true;
    range.first = first;
    range.last = last;
    return true;
}

// "X,Y": two numbers 0..9999.
bool ParsePoint(const std::string& text, int& x, int& y)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    x = ParseNumber(text.substr(0, comma), 9999);
    y = ParseNumber(text.substr(comma + 1), 9999);
    return x >= 0 && y >= 0;
}

bool ParseFormat(const std::string& text, Format& format)
{
    const std::string t = Lower(text);
    if (t == "project" || t == "kmd")
        format = Format::Project;
    else if (t == "raw")
        format = Format::Raw;
    else if (t == "prg")
        format = Format::Prg;
    else if (t == "seuck")
        format = Format::Seuck;
    else if (t == "auto")
        format = Format::Auto;
    else
        return false;
    return true;
}

bool ParseAttr(const std::string& text, AttrLayout& layout)
{
    const std::string t = Lower(text);
    if (t == "native" || t == "kelmora")
        layout = AttrLayout::Native;
    else if (t == "seuck")
        layout = AttrLayout::Seuck;
    else if (t == "ignore")
        layout = AttrLayout::Ignore;
    else
        return false;
    return true;
}

bool ParseDialect(const std::string& text, Dialect& dialect)
{
    const std::string t = Lower(text);
    if (t == "acme")
        dialect = Dialect::Acme;
    else if (t == "kickass")
        dialect = Dialect::KickAss;
    else if (t == "ca65")
        dialect = Dialect::Ca65;
    else if (t == "64tass")
        dialect = Dialect::Tass64;
    else if (t == "c")
        dialect = Dialect::C;
    else if (t == "basic")
        dialect = Dialect::Basic;
    else
        return false;
    return true;
}

bool ValidLabel(const std::string& label)
{
    if (label.empty() || label.size() > 64) return false;
    const unsigned char first = static_cast<unsigned char>(label[0]);
    if (!std::isalpha(first) && first != '_') return false;
    for (char c : label)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!(u < 0x80 && (std::isalnum(u) || u == '_'))) return false;
    }
    return true;
}

// The lower-case extension of a path's last component, with its dot ("" when none).
std::string Extension(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return "";
    return Lower(name.substr(dot));
}

Format GuessFromName(const std::string& path)
{
    const std::string ext = Extension(path);
    if (ext == ".kmd") return Format::Project;
    if (ext == ".a") return Format::Seuck;
    if (ext == ".prg") return Format::Prg;
    if (ext == ".raw" || ext == ".bin" || ext == ".spr") return Format::Raw;
    return Format::Guess;
}

ParseResult Usage(std::string message)
{
    ParseResult result;
    result.outcome = ParseOutcome::Usage;
    result.message = std::move(message);
    return result;
}

// A usage error that keeps the command, so the message can point at its help.
ParseResult Usage(Command command, std::string message)
{
    ParseResult result = Usage(std::move(message));
    result.options.command = command;
    return result;
}

bool InputHasLayoutChoice(Format format)
{
    return format != Format::Project;
}
bool OutputHasLayoutChoice(Format format)
{
    return format == Format::Raw || format == Format::Prg;
}

// Applies one option's value. Returns an empty string or the usage error.
std::string Apply(const OptionSpec& spec, const std::string& value, Options& o)
{
    const std::string option = std::string("--") + spec.name;
    switch (spec.id)
    {
    case Opt::Json:
        o.json = true;
        break;
    case Opt::Force:
        o.force = true;
        break;
    case Opt::NoInf:
        o.noInf = true;
        break;
    case Opt::Overlay:
        o.overlay = true;
        break;
    case Opt::Strict:
        o.strict = true;
        break;
    case Opt::Hex:
    case Opt::Dec:
        o.hex = spec.id == Opt::Hex;
        o.listing.numbers = o.hex ? kelmora::ListingNumbers::Hex : kelmora::ListingNumbers::Decimal;
        o.listingArgs.emplace_back("numbers", o.hex ? "hex" : "decimal");
        break;
    case Opt::From:
        if (!ParseFormat(value, o.from))
            return option + ": unknown format '" + value + "' (project, raw, prg, seuck or auto)";
        break;
    case Opt::To:
        if (o.command == Command::Sheet)
        {
            const std::string t = Lower(value);
            if (t == "png")
                o.image = ImageFormat::Png;
            else if (t == "bmp")
                o.image = ImageFormat::Bmp;
            else
                return option + ": unknown image format '" + value + "' (png or bmp)";
        }
        else if (!ParseFormat(value, o.to) || o.to == Format::Auto)
            return option + ": unknown format '" + value + "' (project, raw, prg or seuck)";
        break;
    case Opt::Attr:
    case Opt::FromAttr:
    case Opt::ToAttr:
    {
        AttrLayout layout = AttrLayout::Default;
        const bool outputOnly = spec.id == Opt::ToAttr;
        if (!ParseAttr(value, layout) || (outputOnly && layout == AttrLayout::Ignore))
            return option + ": unknown layout '" + value +
                   (outputOnly ? "' (native or seuck)" : "' (native, seuck or ignore)");
        (spec.id == Opt::Attr ? o.attr : spec.id == Opt::FromAttr ? o.fromAttr : o.toAttr) = layout;
        break;
    }
    case Opt::Range:
        if (!ParseRange(value, o.range))
            return option + ": '" + value + "' is not a range A-B of sprites 0..255 with A <= B";
        break;
    case Opt::LoadAddress:
        o.loadAddress = ParseLoadAddress(value);
        if (o.loadAddress < 0) return option + ": '" + value + "' is not a hexadecimal address 0000..FFFF";
        break;
    case Opt::Dialect:
        if (!ParseDialect(value, o.dialect))
            return option + ": unknown dialect '" + value + "' (acme, kickass, ca65, 64tass, c or basic)";
        o.listingArgs.emplace_back("dialect", Lower(value));
        break;
    case Opt::Label:
        if (!ValidLabel(value))
            return option + ": '" + value + "' is not a label (a letter or _, then letters, digits or _)";
        o.label = value;
        o.listing.blockLabel = value;
        o.listingArgs.emplace_back("label", value);
        break;
    case Opt::Bank:
        o.bank = ParseNumber(value, 3);
        if (o.bank < 0) return option + ": '" + value + "' is not a video bank 0..3";
        break;
    case Opt::Count:
        o.count = ParseNumber(value, 256);
        if (o.count < 1) return option + ": '" + value + "' is not a sprite count 1..256";
        break;
    case Opt::Columns:
        o.columns = ParseNumber(value, 256);
        if (o.columns < 1) return option + ": '" + value + "' is not a column count 1..256";
        break;
    case Opt::Scale:
    {
        const int largest = o.command == Command::ImportImage ? 64 : 8;
        o.scale = ParseNumber(value, largest);
        if (o.scale < 1) return option + ": '" + value + "' is not a scale 1.." + std::to_string(largest);
        break;
    }
    case Opt::Palette:
        if (value.empty()) return option + ": needs a palette name";
        o.palette = value;
        break;
    case Opt::PaletteFile:
        if (value.empty()) return option + ": needs a file name";
        o.paletteFile = value;
        break;
    // ---- listing and import-listing ----
    case Opt::Preset:
        if (value.empty()) return option + ": needs a preset name";
        o.preset = value;
        break;
    case Opt::Bytes:
        if (o.command == Command::ImportListing)
        {
            o.bytes = ParseNumber(value, 64);
            if (o.bytes != 63 && o.bytes != 64) return option + ": '" + value + "' is not 63 or 64";
            break;
        }
        [[fallthrough]];
    case Opt::Numbers:
    case Opt::Rows:
    case Opt::ZeroAttributes:
    case Opt::Labels:
    case Opt::Align:
    case Opt::Header:
    case Opt::Prg:
    case Opt::StartLine:
    case Opt::LineStep:
    case Opt::Loader:
    {
        const std::string error = ApplyListingOption(spec.name, value, o.listing);
        if (!error.empty()) return error;
        o.listingArgs.emplace_back(spec.name, value);
        if (spec.id == Opt::Numbers) o.hex = o.listing.numbers != kelmora::ListingNumbers::Decimal;
        break;
    }
    case Opt::Offset:
    case Opt::Gap:
        if (!ParsePoint(value, spec.id == Opt::Offset ? o.offsetX : o.gapX,
                        spec.id == Opt::Offset ? o.offsetY : o.gapY))
            return option + ": '" + value + "' is not X,Y (two numbers of picture pixels 0..9999)";
        break;
    case Opt::Mode:
    {
        if (o.command == Command::Gif)
        {
            if (!kelmora::ParsePlayMode(Lower(value), o.playMode))
                return option + ": unknown mode '" + value + "' (loop, pingpong or once)";
            o.modeGiven = true;
            break;
        }
        const std::string t = Lower(value);
        if (t == "auto")
            o.mode = kelmora::ImportMode::Auto;
        else if (t == "hires")
            o.mode = kelmora::ImportMode::Hires;
        else if (t == "multicolour" || t == "multicolor")
            o.mode = kelmora::ImportMode::Multicolour;
        else
            return option + ": unknown mode '" + value + "' (auto, hires or multicolour)";
        break;
    }
    case Opt::Background:
    case Opt::Multi1:
    case Opt::Multi2:
    {
        const int colour = ParseNumber(value, 15);
        if (colour < 0) return option + ": '" + value + "' is not a colour 0..15";
        (spec.id == Opt::Background ? o.background : spec.id == Opt::Multi1 ? o.multi1 : o.multi2) = colour;
        break;
    }
    case Opt::Report:
        if (value.empty()) return option + ": needs a file name";
        o.report = value;
        break;
    case Opt::Sequence:
        if (value.empty()) return option + ": needs a sequence name";
        o.sequence = value;
        break;
    case Opt::Delay:
        o.delay = ParseNumber(value, kelmora::kMaxFrameDelay);
        if (o.delay < kelmora::kMinFrameDelay)
            return option + ": '" + value + "' is not a delay of 1..255 ticks (1/50 s each)";
        break;
    case Opt::Strip:
        if (value.empty()) return option + ": needs a file name";
        o.strip = value;
        break;
    case Opt::Object:
        if (value.empty()) return option + ": needs an object name";
        o.object = value;
        break;
    case Opt::Count_:
        break;
    }
    return {};
}

// Checks that depend on more than one option, and fills in the guessed formats,
// the attribute layouts in force and the default load address.
std::string Resolve(Options& o, const std::vector<bool>& given)
{
    const auto was = [&](Opt id) { return given[static_cast<std::size_t>(id)]; };
    const char* name = CommandName(o.command);
    const std::size_t wanted = o.command == Command::Info ? 1 : 2;
    if (o.files.size() != wanted)
    {
        const char* what = o.command == Command::Info          ? "FILE"
                           : o.command == Command::Rip         ? "SNAPSHOT and OUT"
                           : o.command == Command::ImportImage ? "IMAGE and OUT"
                                                               : "IN and OUT";
        return std::string(name) + ": expected " + what + (o.files.size() < wanted ? "" : ", got more");
    }
    for (const std::string& file : o.files)
        if (file.empty()) return std::string(name) + ": a file name is empty";

    const bool readsSprites =
        o.command != Command::Rip && o.command != Command::ImportListing && o.command != Command::ImportImage;
    if (readsSprites && o.from == Format::Guess)
    {
        o.from = GuessFromName(o.files[0]);
        if (o.from == Format::Guess) o.from = Format::Auto;
    }

    if (o.command == Command::Convert || o.command == Command::Rip || o.command == Command::ImportListing ||
        o.command == Command::ImportImage)
    {
        if (o.to == Format::Guess)
        {
            o.to = GuessFromName(o.files[1]);
            if (o.to == Format::Guess)
                return std::string(name) + ": cannot tell the format of '" + o.files[1] +
                       "' from its extension; use --to project, raw, prg or seuck";
        }
        if (was(Opt::LoadAddress) && o.to != Format::Prg) return "--load-address applies to PRG output only";
        if (o.to == Format::Prg && !was(Opt::LoadAddress)) o.loadAddress = 0x8000;
        if (o.noInf && o.to != Format::Raw) return "--no-inf applies to raw output only";
    }

    if (o.command == Command::ImportImage)
    {
        // Not given: the scale detected, as many columns as fit, every cell.
        if (!was(Opt::Scale)) o.scale = 0;
        if (!was(Opt::Columns)) o.columns = 0;
        if (!was(Opt::Count)) o.count = 0;
        o.toAttr = o.to == Format::Seuck ? AttrLayout::Seuck : AttrLayout::Native;
    }

    if (o.command == Command::Sheet && o.image == ImageFormat::Guess)
    {
        const std::string ext = Extension(o.files[1]);
        if (ext == ".png")
            o.image = ImageFormat::Png;
        else if (ext == ".bmp")
            o.image = ImageFormat::Bmp;
        else
            return std::string("sheet: cannot tell the image format of '") + o.files[1] +
                   "' from its extension; use --to png or bmp";
    }

    if (was(Opt::Object) && o.from != Format::Project)
        return "--object: objects are kept beside a project file (.kmd), and " + o.files[0] + " is read as " +
               FormatName(o.from) + " data";

    if (o.command == Command::Gif)
    {
        if (was(Opt::Sequence) && was(Opt::Range))
            return "gif: --range and --sequence cannot be used together";
        if (was(Opt::Sequence) && was(Opt::Delay))
            return "--delay applies to a range; a sequence has its own delays";
        if (was(Opt::Sequence) && o.from != Format::Project)
            return "--sequence: sequences are kept beside a project file (.kmd), and " + o.files[0] +
                   " is read as " + FormatName(o.from) + " data";
        if (!o.strip.empty() && o.strip == o.files[1])
            return "--strip: the strip cannot be the GIF file itself";
    }

    if (o.command == Command::Listing && !o.label.empty() && o.dialect == Dialect::Plain && o.preset.empty())
        return "--label needs --dialect (the plain listing has no label)";
    if (o.command == Command::Listing)
    {
        // With --preset the options are checked once the preset is known.
        o.listing.dialect = CoreDialect(o.dialect);
        if (o.preset.empty())
        {
            const std::string error = ListingOptionsError(o);
            if (!error.empty()) return error;
        }
    }

    // Attribute layouts: --from-attr and --to-attr name a side; --attr goes to
    // whichever side has a choice (an "ignore" only to the input).
    if (readsSprites)
    {
        const bool inChoice = InputHasLayoutChoice(o.from);
        const bool outChoice = o.command == Command::Convert && OutputHasLayoutChoice(o.to);
        if (o.fromAttr != AttrLayout::Default && !inChoice)
            return "--from-attr: a project file always holds native attribute bytes";
        if (o.toAttr != AttrLayout::Default && !outChoice)
            return std::string("--to-attr: ") + FormatName(o.to) + " output has no attribute layout choice";
        if (o.attr != AttrLayout::Default)
        {
            if (!inChoice && !outChoice)
                return o.command == Command::Convert
                           ? std::string("--attr: neither the project input nor the ") + FormatName(o.to) +
                                 " output has an attribute layout choice"
                           : std::string("--attr: a project file always holds native attribute bytes");
            if (o.attr == AttrLayout::Ignore && !inChoice)
                return "--attr ignore applies to raw, PRG and SEUCK input only";
        }
        if (o.fromAttr == AttrLayout::Default)
        {
            if (inChoice && o.attr != AttrLayout::Default)
                o.fromAttr = o.attr;
            else
                o.fromAttr = o.from == Format::Seuck ? AttrLayout::Seuck : AttrLayout::Native;
        }
        if (o.toAttr == AttrLayout::Default)
        {
            if (outChoice && o.attr == AttrLayout::Seuck)
                o.toAttr = AttrLayout::Seuck;
            else
                o.toAttr = o.to == Format::Seuck ? AttrLayout::Seuck : AttrLayout::Native;
        }
    }
    return {};
}

} // namespace

const char* CommandName(Command command)
{
    switch (command)
    {
    case Command::Info:
        return "info";
    case Command::Convert:
        return "convert";
    case Command::Listing:
        return "listing";
    case Command::Rip:
        return "rip";
    case Command::Sheet:
        return "sheet";
    case Command::ImportListing:
        return "import-listing";
    case Command::ImportImage:
        return "import-image";
    case Command::Gif:
        return "gif";
    case Command::None:
        break;
    }
    return "";
}

const char* FormatName(Format format)
{
    switch (format)
    {
    case Format::Project:
        return "project";
    case Format::Raw:
        return "raw";
    case Format::Prg:
        return "prg";
    case Format::Seuck:
        return "seuck";
    case Format::Auto:
        return "auto";
    case Format::Guess:
        break;
    }
    return "unknown";
}

const char* AttrLayoutName(AttrLayout layout)
{
    switch (layout)
    {
    case AttrLayout::Native:
        return "native";
    case AttrLayout::Seuck:
        return "seuck";
    case AttrLayout::Ignore:
        return "ignore";
    case AttrLayout::Default:
        break;
    }
    return "default";
}

int ParseLoadAddress(const std::string& text)
{
    std::string digits = text;
    if (!digits.empty() && digits[0] == '$')
        digits.erase(0, 1);
    else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.erase(0, 2);
    if (digits.empty() || digits.size() > 4) return -1;
    int value = 0;
    for (char c : digits)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!std::isxdigit(u)) return -1;
        value = value * 16 + (std::isdigit(u) ? u - '0' : std::tolower(u) - 'a' + 10);
    }
    return value;
}

ParseResult ParseArgs(const std::vector<std::string>& args)
{
    ParseResult result;
    if (args.empty())
        return Usage(
            "missing command (info, convert, listing, import-listing, rip, sheet, import-image or gif)");

    const std::string& first = args[0];
    if (first == "--help" || first == "-h")
    {
        result.outcome = ParseOutcome::Help;
        return result;
    }
    if (first == "--version")
    {
        result.outcome = ParseOutcome::Version;
        return result;
    }

    Options& o = result.options;
    std::size_t start = 1;
    bool helpCommand = false;
    std::string commandWord = first;
    if (first == "help")
    {
        // "help" alone, or "help COMMAND".
        if (args.size() == 1)
        {
            result.outcome = ParseOutcome::Help;
            return result;
        }
        if (args.size() > 2) return Usage("help: expected at most one command name");
        helpCommand = true;
        commandWord = args[1];
        start = 2;
    }
    if (commandWord == "info")
        o.command = Command::Info;
    else if (commandWord == "convert")
        o.command = Command::Convert;
    else if (commandWord == "listing")
        o.command = Command::Listing;
    else if (commandWord == "rip")
        o.command = Command::Rip;
    else if (commandWord == "sheet")
        o.command = Command::Sheet;
    else if (commandWord == "import-listing")
        o.command = Command::ImportListing;
    else if (commandWord == "import-image")
        o.command = Command::ImportImage;
    else if (commandWord == "gif")
        o.command = Command::Gif;
    else if (!commandWord.empty() && commandWord[0] == '-')
        return Usage("unknown option '" + commandWord + "'");
    else
        return Usage("unknown command '" + commandWord + "'");

    // --help anywhere before "--" wins over everything else.
    bool help = helpCommand;
    for (std::size_t i = start; i < args.size() && !help; ++i)
    {
        if (args[i] == "--") break;
        if (args[i] == "--help" || args[i] == "-h") help = true;
    }
    if (help)
    {
        result.outcome = ParseOutcome::Help;
        return result;
    }

    const std::string name = CommandName(o.command);
    const unsigned bit = CommandBit(o.command);
    std::vector<bool> given(static_cast<std::size_t>(Opt::Count_), false);
    bool optionsEnded = false;
    for (std::size_t i = start; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-')
        {
            o.files.push_back(arg); // "-" alone is a file name
            continue;
        }
        if (arg == "--")
        {
            optionsEnded = true;
            continue;
        }

        const OptionSpec* spec = nullptr;
        std::string shown;
        std::string value;
        bool inlineValue = false;
        if (arg[1] == '-')
        {
            const std::size_t eq = arg.find('=');
            const std::string optName = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            spec = FindLong(optName);
            shown = "--" + optName;
            if (eq != std::string::npos)
            {
                value = arg.substr(eq + 1);
                inlineValue = true;
            }
        }
        else
        {
            if (arg.size() != 2) return Usage(o.command, name + ": unknown option '" + arg + "'");
            spec = FindShort(arg[1]);
            shown = arg;
        }
        if (spec == nullptr || (spec->commands & bit) == 0)
            return Usage(o.command, name + ": unknown option '" + shown + "'");
        if (spec->takesValue && !inlineValue)
        {
            if (i + 1 >= args.size()) return Usage(o.command, shown + " needs a value");
            value = args[++i];
        }
        else if (!spec->takesValue && inlineValue)
            return Usage(o.command, shown + " takes no value");

        given[static_cast<std::size_t>(spec->id)] = true;
        const std::string error = Apply(*spec, value, o);
        if (!error.empty()) return Usage(o.command, error);
    }

    const std::string error = Resolve(o, given);
    if (!error.empty()) return Usage(o.command, error);
    result.outcome = ParseOutcome::Run;
    return result;
}

} // namespace kelmora::cli
