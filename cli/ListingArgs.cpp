// listing's options as the command line gives them.
#include "cli/ListingArgs.h"

#include <algorithm>

#include "core/BasicProgram.h"

namespace kelmora::cli
{

namespace
{

// "1000", at most limit: -1 when malformed.
int Decimal(const std::string& text, int limit)
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

bool IsLabel(const std::string& text)
{
    kelmora::ListingOptions probe;
    probe.labelPrefix = text;
    return kelmora::CheckListingOptions(probe) == kelmora::ListingOptionsProblem::None;
}

} // namespace

kelmora::ListingDialect CoreDialect(Dialect dialect)
{
    switch (dialect)
    {
    case Dialect::KickAss:
        return kelmora::ListingDialect::KickAss;
    case Dialect::Ca65:
        return kelmora::ListingDialect::Ca65;
    case Dialect::Tass64:
        return kelmora::ListingDialect::Tass64;
    case Dialect::C:
        return kelmora::ListingDialect::C;
    case Dialect::Basic:
        return kelmora::ListingDialect::Basic;
    case Dialect::Acme:
    case Dialect::Plain:
        break;
    }
    return kelmora::ListingDialect::Acme;
}

std::string ApplyListingOption(const std::string& name, const std::string& value, kelmora::ListingOptions& o)
{
    const std::string option = "--" + name;
    if (name == "dialect")
    {
        if (!kelmora::ListingDialectFromName(value, o.dialect))
            return option + ": unknown dialect '" + value + "' (acme, kickass, ca65, 64tass, c or basic)";
    }
    else if (name == "numbers")
    {
        if (value == "dec") return ApplyListingOption(name, "decimal", o);
        if (!kelmora::ListingNumbersFromName(value, o.numbers))
            return option + ": unknown number style '" + value + "' (hex, decimal or binary)";
    }
    else if (name == "rows")
        o.rows = true;
    else if (name == "zero-attributes")
        o.zeroAttributes = true;
    else if (name == "align")
        o.align = true;
    else if (name == "prg")
        o.prg = true;
    else if (name == "bytes")
    {
        const int bytes = Decimal(value, 64);
        if (bytes != 63 && bytes != 64) return option + ": '" + value + "' is not 63 or 64";
        o.bytesPerSprite = bytes;
    }
    else if (name == "label")
    {
        if (!IsLabel(value))
            return option + ": '" + value + "' is not a label (a letter or _, then letters, digits or _)";
        o.blockLabel = value;
    }
    else if (name == "labels")
    {
        if (value == "names")
            o.labels = kelmora::ListingLabels::Names;
        else if (value == "none")
            o.labels = kelmora::ListingLabels::None;
        else if (value.compare(0, 7, "prefix:") == 0 && IsLabel(value.substr(7)))
        {
            o.labels = kelmora::ListingLabels::Prefix;
            o.labelPrefix = value.substr(7);
        }
        else
            return option + ": '" + value +
                   "' is not names, none or prefix:PREFIX (PREFIX a letter or _, then " +
                   "letters, digits or _)";
    }
    else if (name == "header" || name == "loader")
    {
        const int address = ParseLoadAddress(value);
        if (address < 0 || address % 64 != 0)
            return option + ": '" + value +
                   "' is not a hexadecimal address that is a multiple of 64 (such as 2000)";
        (name == "header" ? o.headerAddress : o.loaderAddress) = address;
    }
    else if (name == "start-line")
    {
        o.startLine = Decimal(value, kelmora::kBasicLastLine);
        if (o.startLine < 0) return option + ": '" + value + "' is not a line number 0..63999";
    }
    else if (name == "line-step")
    {
        o.lineStep = Decimal(value, 1000);
        if (o.lineStep < 1) return option + ": '" + value + "' is not a step 1..1000";
    }
    else
        return option + ": not an option of listing";
    return {};
}

std::string ListingOptionsError(const Options& o)
{
    const auto given = [&](const char* name)
    {
        return std::any_of(o.listingArgs.begin(), o.listingArgs.end(),
                           [&](const std::pair<std::string, std::string>& arg) { return arg.first == name; });
    };
    const kelmora::ListingOptions& l = o.listing;
    if (o.dialect == Dialect::Plain)
    {
        for (const auto& arg : o.listingArgs)
            if (arg.first != "numbers" && arg.first != "dialect")
                return "--" + arg.first + " needs --dialect (the plain listing is the editor's own)";
        if (l.numbers == kelmora::ListingNumbers::Binary) return "--numbers binary needs --dialect";
        return {};
    }
    const bool basic = o.dialect == Dialect::Basic;
    if (basic)
    {
        if (given("numbers") && l.numbers != kelmora::ListingNumbers::Decimal)
            return "--dialect basic writes decimal numbers only (a C64 READs DATA values in decimal)";
        if (given("header")) return "--header: BASIC has no constants (--loader sets the colours on the C64)";
        if (given("label")) return "--label: BASIC has no labels (--labels names them in REM lines)";
        if (given("align"))
            return "--align: BASIC has no alignment (--loader puts the sprites in their blocks)";
    }
    else
    {
        for (const char* name : {"prg", "start-line", "line-step", "loader"})
            if (given(name)) return std::string("--") + name + " needs --dialect basic";
        if (o.dialect == Dialect::C && given("align"))
            return "--align: C has no alignment directive (place the array with your linker)";
    }
    return {};
}

} // namespace kelmora::cli
