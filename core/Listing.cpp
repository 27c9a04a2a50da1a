// Sprite listings as source for assemblers, C compilers and BASIC V2, with options.
#include "core/Listing.h"

#include "core/BasicProgram.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

namespace kelmora
{

namespace
{

constexpr const char* kDefaultArrayName = "sprites";
constexpr std::size_t kMaxLabelLength = 64;

// 6502 mnemonics (with the undocumented and 65C02 ones) and register names: a label
// spelled like one is read as an instruction by acme and 64tass and refused by ca65.
const char* const kAssemblerWords[] = {
    "adc", "and", "asl", "bcc", "bcs", "beq", "bit", "bmi", "bne", "bpl", "brk", "bvc", "bvs", "clc", "cld",
    "cli", "clv", "cmp", "cpx", "cpy", "dec", "dex", "dey", "eor", "inc", "inx", "iny", "jmp", "jsr", "lda",
    "ldx", "ldy", "lsr", "nop", "ora", "pha", "php", "pla", "plp", "rol", "ror", "rti", "rts", "sbc", "sec",
    "sed", "sei", "sta", "stx", "sty", "tax", "tay", "tsx", "txa", "txs", "tya", "slo", "rla", "sre", "rra",
    "sax", "lax", "dcp", "isc", "isb", "anc", "asr", "alr", "arr", "sbx", "axs", "sha", "ahx", "shx", "shy",
    "tas", "las", "lxa", "ane", "xaa", "jam", "kil", "dop", "top", "bra", "phx", "phy", "plx", "ply", "stz",
    "trb", "tsb", "wai", "stp", "bbr", "bbs", "rmb", "smb", "a",   "x",   "y",
};
const char* const kCWords[] = {
    "auto",   "break",    "case",     "char",     "const", "continue", "default", "do",     "double",
    "else",   "enum",     "extern",   "float",    "for",   "goto",     "if",      "inline", "int",
    "long",   "register", "restrict", "return",   "short", "signed",   "sizeof",  "static", "struct",
    "switch", "typedef",  "union",    "unsigned", "void",  "volatile", "while",   "bool",   "true",
    "false",  "asm",      "fastcall", "cdecl",    "far",   "near",     "main",
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsIdentifier(const std::string& text)
{
    if (text.empty() || text.size() > kMaxLabelLength) return false;
    const unsigned char first = static_cast<unsigned char>(text[0]);
    if (!(std::isalpha(first) || first == '_') || first >= 0x80) return false;
    for (char c : text)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 || !(std::isalnum(u) || u == '_')) return false;
    }
    return true;
}

template <std::size_t N> bool IsOneOf(const std::string& word, const char* const (&words)[N])
{
    const std::string lower = Lower(word);
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return lower == w; });
}

char Separator(ListingDialect dialect)
{
    return dialect == ListingDialect::Basic ? '.' : '_';
}

struct Shape
{
    const char* labelSuffix;  // after a label
    const char* commentStart; // before "Sprite N"
    const char* commentEnd;
    const char* directive; // before each line of values
    const char* align;     // the alignment directive line, "" when none
};

Shape ShapeOf(ListingDialect dialect)
{
    switch (dialect)
    {
    case ListingDialect::Acme:
        return {"", "; ", "", "\t!byte ", "\t!align 63, 0\n"};
    case ListingDialect::KickAss:
        return {":", "// ", "", "\t.byte ", "\t.align $40\n"};
    case ListingDialect::Ca65:
        return {":", "; ", "", "\t.byte ", "\t.align 64\n"};
    case ListingDialect::Tass64:
        return {"", "; ", "", "\t.byte ", "\t.align 64\n"};
    case ListingDialect::C:
        return {"", "/* ", " */", "", ""};
    case ListingDialect::Basic:
        break;
    }
    return {"", "REM ", "", "DATA ", ""};
}

void AppendValue(std::string& out, u8 value, ListingNumbers numbers, ListingDialect dialect)
{
    const bool c = dialect == ListingDialect::C;
    if (dialect == ListingDialect::Basic) numbers = ListingNumbers::Decimal;
    char text[16];
    switch (numbers)
    {
    case ListingNumbers::Hex:
        std::snprintf(text, sizeof text, c ? "0x%02X" : "$%02X", static_cast<unsigned>(value));
        break;
    case ListingNumbers::Decimal:
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
        break;
    case ListingNumbers::Binary:
    {
        std::string bits = c ? "0b" : "%";
        for (int bit = 7; bit >= 0; --bit)
            bits += (value >> bit & 1) ? '1' : '0';
        out += bits;
        return;
    }
    }
    out += text;
}

std::string BaseName(const ListingOptions& o)
{
    return o.blockLabel.empty() ? std::string(kDefaultArrayName) : o.blockLabel;
}

bool HasHeader(const ListingOptions& o)
{
    return o.headerAddress >= 0 && o.dialect != ListingDialect::Basic;
}

bool HasBlockNumbers(const ListingOptions& o)
{
    return o.bytesPerSprite == kSpriteBytes;
}

// The names of the header's constants, in the order they are written.
std::vector<std::pair<std::string, int>> HeaderConstants(const SpriteBank* bank, int first, int last,
                                                         const ListingOptions& o)
{
    std::vector<std::pair<std::string, int>> out;
    const std::string base = BaseName(o);
    out.emplace_back(base + "_background", bank ? bank->colourTransp : 0);
    out.emplace_back(base + "_multicolour1", bank ? bank->colourMulti1 : 0);
    out.emplace_back(base + "_multicolour2", bank ? bank->colourMulti2 : 0);
    for (int i = first; i <= last; ++i)
    {
        const int colour =
            bank && bank->sprites ? bank->sprites[i * kSpriteBytes + kAttributeByte] & kAttrColourMask : 0;
        out.emplace_back(base + "_colour_" + std::to_string(i), colour);
        if (HasBlockNumbers(o))
            out.emplace_back(base + "_block_" + std::to_string(i),
                             ((o.headerAddress + (i - first) * kSpriteBytes) & 0x3FFF) / kSpriteBytes);
    }
    return out;
}

// The bytes of one sprite as listed.
std::vector<u8> SpriteBytes(const u8* block, int slot, const ListingOptions& o)
{
    std::vector<u8> bytes(block + slot * kSpriteBytes, block + slot * kSpriteBytes + o.bytesPerSprite);
    if (o.bytesPerSprite == kSpriteBytes && o.zeroAttributes) bytes[kAttributeByte] = 0;
    return bytes;
}

// The lines of values of one sprite: the whole sprite, or rows of three (the attribute
// byte on a line of its own).
std::vector<std::string> ValueLines(const std::vector<u8>& bytes, const ListingOptions& o)
{
    std::vector<std::string> lines(1);
    for (std::size_t k = 0; k < bytes.size(); ++k)
    {
        if (o.rows && k > 0 && k % 3 == 0) lines.emplace_back();
        if (!lines.back().empty()) lines.back() += ',';
        AppendValue(lines.back(), bytes[k], o.numbers, o.dialect);
    }
    return lines;
}

std::string AssemblerListing(const SpriteBank& bank, int first, int last, const ListingOptions& o,
                             const std::vector<std::string>& labels)
{
    const Shape shape = ShapeOf(o.dialect);
    std::string out;
    if (HasHeader(o))
    {
        char address[16];
        std::snprintf(address, sizeof address, "$%04X", static_cast<unsigned>(o.headerAddress));
        out += std::string(shape.commentStart) + "Colours" + (HasBlockNumbers(o) ? " and blocks" : "") +
               " of the sprites at " + address + shape.commentEnd + "\n";
        for (const auto& constant : HeaderConstants(&bank, first, last, o))
            out += std::string(o.dialect == ListingDialect::KickAss ? ".const " : "") + constant.first +
                   " = " + std::to_string(constant.second) + "\n";
    }
    if (o.align) out += shape.align;
    if (!o.blockLabel.empty()) out += o.blockLabel + shape.labelSuffix + "\n";
    for (int i = first; i <= last; ++i)
    {
        out += "\n" + std::string(shape.commentStart) + "Sprite " + std::to_string(i) + shape.commentEnd +
               "\n\n";
        const std::string& label = labels[static_cast<std::size_t>(i - first)];
        if (!label.empty()) out += label + shape.labelSuffix + "\n";
        for (const std::string& line : ValueLines(SpriteBytes(bank.sprites, i, o), o))
            out += shape.directive + line + "\n";
    }
    return out;
}

// C: one array for the block, and with labels a new array from each labelled sprite on.
std::string CListing(const SpriteBank& bank, int first, int last, const ListingOptions& o,
                     const std::vector<std::string>& labels)
{
    std::string out;
    if (HasHeader(o))
    {
        char address[16];
        std::snprintf(address, sizeof address, "0x%04X", static_cast<unsigned>(o.headerAddress));
        out += std::string("/* Colours") + (HasBlockNumbers(o) ? " and blocks" : "") + " of the sprites at " +
               address + " */\n";
        for (const auto& constant : HeaderConstants(&bank, first, last, o))
            out += "#define " + constant.first + " " + std::to_string(constant.second) + "\n";
    }
    const auto label = [&](int i) -> const std::string&
    { return labels[static_cast<std::size_t>(i - first)]; };
    for (int i = first; i <= last; ++i)
    {
        const bool opens = i == first || !label(i).empty();
        int end = i; // the last sprite of the array this one opens
        while (opens && end < last && label(end + 1).empty())
            ++end;
        const std::string header = "\n/* Sprite " + std::to_string(i) + " */\n\n";
        if (opens)
        {
            const std::string size = std::to_string((end - i + 1) * o.bytesPerSprite);
            if (label(i).empty())
                out += "const unsigned char " + BaseName(o) + "[" + size + "] = {\n" + header;
            else
                out += header + "const unsigned char " + label(i) + "[" + size + "] = {\n";
        }
        else
            out += header;
        const bool lastOfArray = i == last || !label(i + 1).empty();
        const std::vector<std::string> lines = ValueLines(SpriteBytes(bank.sprites, i, o), o);
        for (std::size_t k = 0; k < lines.size(); ++k)
            out += lines[k] + (lastOfArray && k + 1 == lines.size() ? "\n" : ",\n");
        if (lastOfArray) out += "};\n";
    }
    return out;
}

// BASIC: the loader's lines, then for each sprite a REM line with its number, a REM
// line with its label when it has one, and DATA lines of at most 80 characters.
ListingProblem BasicListing(const SpriteBank& bank, int first, int last, const ListingOptions& o,
                            const std::vector<std::string>& labels, std::vector<u8>& bytes)
{
    std::vector<std::string> statements;
    BasicLoaderPlan plan;
    if (o.loaderAddress >= 0)
    {
        plan.address = o.loaderAddress;
        plan.spriteCount = last - first + 1;
        plan.bytesPerSprite = o.bytesPerSprite;
        plan.background = bank.colourTransp;
        plan.multicolour1 = bank.colourMulti1;
        plan.multicolour2 = bank.colourMulti2;
        for (int i = first; i <= last && i < first + 8; ++i)
            plan.attributes.push_back(bank.sprites[i * kSpriteBytes + kAttributeByte]);
        statements = BasicLoaderStatements(plan);
    }

    std::vector<BasicLine> lines;
    long number = o.startLine;
    const auto add = [&](const std::string& text)
    {
        lines.push_back({static_cast<int>(std::min<long>(number, kBasicLastLine + 1)), text});
        number += o.lineStep;
    };
    for (const std::string& statement : statements)
        add(statement);
    for (int i = first; i <= last; ++i)
    {
        add("REM SPRITE " + std::to_string(i));
        const std::string& label = labels[static_cast<std::size_t>(i - first)];
        if (!label.empty()) add("REM " + label);
        const std::vector<u8> values = SpriteBytes(bank.sprites, i, o);
        std::string data;
        for (std::size_t k = 0; k < values.size(); ++k)
        {
            const std::string value = std::to_string(values[k]);
            const std::size_t prefix = std::to_string(std::min<long>(number, kBasicLastLine)).size() + 6;
            const bool rowEnds = o.rows && k % 3 == 0;
            if (!data.empty() && (rowEnds || prefix + data.size() + 1 + value.size() > kBasicLineCharacters))
            {
                add("DATA " + data);
                data.clear();
            }
            data += (data.empty() ? "" : ",") + value;
        }
        add("DATA " + data);
    }
    if (number - o.lineStep > kBasicLastLine) return ListingProblem::LineNumbersRunOut;

    std::vector<u8> program;
    if (o.prg || o.loaderAddress >= 0)
    {
        // Line numbers are in order and in range here, so only the size can fail.
        if (!TokeniseBasic(lines, kBasicStart, program)) return ListingProblem::ProgramTooLarge;
        const long programEnd = kBasicStart + static_cast<long>(program.size()) - 2;
        if (o.prg && programEnd > kBasicMemoryEnd) return ListingProblem::ProgramTooLarge;
        if (o.loaderAddress >= 0)
        {
            switch (CheckBasicLoaderPlace(plan, static_cast<int>(programEnd)))
            {
            case BasicLoaderPlace::InUse:
                return ListingProblem::LoaderAddressInUse;
            case BasicLoaderPlace::Hidden:
                return ListingProblem::LoaderAddressHidden;
            case BasicLoaderPlace::Fine:
                break;
            }
        }
    }
    if (o.prg)
        bytes.swap(program);
    else
    {
        const std::string text = BasicLinesToText(lines);
        bytes.assign(text.begin(), text.end());
    }
    return ListingProblem::None;
}

const char* LabelsName(ListingLabels labels)
{
    switch (labels)
    {
    case ListingLabels::Names:
        return "names";
    case ListingLabels::Prefix:
        return "prefix";
    case ListingLabels::None:
        break;
    }
    return "none";
}

} // namespace

ListingOptionsProblem CheckListingOptions(const ListingOptions& o)
{
    if (o.bytesPerSprite != kPixelBytes && o.bytesPerSprite != kSpriteBytes)
        return ListingOptionsProblem::BytesPerSprite;
    if (!o.blockLabel.empty() && !IsIdentifier(o.blockLabel)) return ListingOptionsProblem::BlockLabel;
    if (!IsIdentifier(o.labelPrefix)) return ListingOptionsProblem::LabelPrefix;
    if (o.headerAddress != -1 &&
        (o.headerAddress < 0 || o.headerAddress > 0xFFFF || o.headerAddress % 64 != 0))
        return ListingOptionsProblem::HeaderAddress;
    if (o.startLine < 0 || o.startLine > kBasicLastLine) return ListingOptionsProblem::StartLine;
    if (o.lineStep < 1 || o.lineStep > 1000) return ListingOptionsProblem::LineStep;
    if (o.loaderAddress != -1 &&
        (o.loaderAddress < 0 || o.loaderAddress > 0xFFFF || o.loaderAddress % 64 != 0))
        return ListingOptionsProblem::LoaderAddress;
    return ListingOptionsProblem::None;
}

std::string ListingLabelFrom(const std::string& text, ListingDialect dialect)
{
    const bool basic = dialect == ListingDialect::Basic;
    const char separator = Separator(dialect);
    std::string out;
    bool pending = false; // characters that cannot stand in a label were skipped
    for (char c : text)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        const bool keep = u < 0x80 && (std::isalnum(u) || (!basic && u == '_'));
        if (!keep)
        {
            pending = true;
            continue;
        }
        if (pending && !out.empty()) out += separator;
        pending = false;
        out += basic ? static_cast<char>(std::toupper(u)) : c;
        if (out.size() >= kMaxLabelLength) break;
    }
    if (out.empty()) return out;
    if (!basic && std::isdigit(static_cast<unsigned char>(out[0]))) out.insert(out.begin(), '_');
    if ((dialect == ListingDialect::C && IsOneOf(out, kCWords)) ||
        (dialect != ListingDialect::C && !basic && IsOneOf(out, kAssemblerWords)))
        out += '_';
    return out;
}

std::vector<std::string> ListingSpriteLabels(int first, int last, const ListingOptions& o,
                                             const std::vector<std::string>& names)
{
    std::vector<std::string> out;
    if (!ValidSlot(first) || !ValidSlot(last) || first > last) return out;
    out.resize(static_cast<std::size_t>(last - first + 1));
    if (o.labels == ListingLabels::None) return out;

    // Labels are compared without letter case: 64tass ignores it.
    std::set<std::string> taken;
    taken.insert(Lower(BaseName(o)));
    if (HasHeader(o))
        for (const auto& constant : HeaderConstants(nullptr, first, last, o))
            taken.insert(Lower(constant.first));
    const char separator = Separator(o.dialect);
    for (int i = first; i <= last; ++i)
    {
        std::string wanted;
        if (o.labels == ListingLabels::Prefix)
            wanted = ListingLabelFrom(o.labelPrefix + "_" + std::to_string(i), o.dialect);
        else if (static_cast<std::size_t>(i) < names.size())
            wanted = ListingLabelFrom(names[static_cast<std::size_t>(i)], o.dialect);
        if (wanted.empty()) continue;
        std::string label = wanted;
        for (int k = 2; taken.count(Lower(label)) != 0; ++k)
            label = wanted + separator + std::to_string(k);
        taken.insert(Lower(label));
        out[static_cast<std::size_t>(i - first)] = label;
    }
    return out;
}

ListingOutput FormatListing(const SpriteBank& bank, int first, int last, const ListingOptions& options,
                            const std::vector<std::string>& names)
{
    ListingOutput result;
    if (bank.sprites == nullptr || !ValidSlot(first) || !ValidSlot(last) || first > last)
    {
        result.problem = ListingProblem::BadArguments;
        return result;
    }
    result.optionsProblem = CheckListingOptions(options);
    if (result.optionsProblem != ListingOptionsProblem::None)
    {
        result.problem = ListingProblem::BadOptions;
        return result;
    }
    const std::vector<std::string> labels = ListingSpriteLabels(first, last, options, names);
    if (options.dialect == ListingDialect::Basic)
    {
        result.problem = BasicListing(bank, first, last, options, labels, result.bytes);
        return result;
    }
    const std::string text = options.dialect == ListingDialect::C
                                 ? CListing(bank, first, last, options, labels)
                                 : AssemblerListing(bank, first, last, options, labels);
    result.bytes.assign(text.begin(), text.end());
    return result;
}

const char* ListingDialectName(ListingDialect dialect)
{
    switch (dialect)
    {
    case ListingDialect::Acme:
        return "acme";
    case ListingDialect::KickAss:
        return "kickass";
    case ListingDialect::Ca65:
        return "ca65";
    case ListingDialect::Tass64:
        return "64tass";
    case ListingDialect::C:
        return "c";
    case ListingDialect::Basic:
        break;
    }
    return "basic";
}

const char* ListingNumbersName(ListingNumbers numbers)
{
    switch (numbers)
    {
    case ListingNumbers::Hex:
        return "hex";
    case ListingNumbers::Decimal:
        return "decimal";
    case ListingNumbers::Binary:
        break;
    }
    return "binary";
}

bool ListingDialectFromName(const std::string& name, ListingDialect& dialect)
{
    const std::string lower = Lower(name);
    for (ListingDialect d : {ListingDialect::Acme, ListingDialect::KickAss, ListingDialect::Ca65,
                             ListingDialect::Tass64, ListingDialect::C, ListingDialect::Basic})
        if (lower == ListingDialectName(d))
        {
            dialect = d;
            return true;
        }
    return false;
}

bool ListingNumbersFromName(const std::string& name, ListingNumbers& numbers)
{
    const std::string lower = Lower(name);
    for (ListingNumbers n : {ListingNumbers::Hex, ListingNumbers::Decimal, ListingNumbers::Binary})
        if (lower == ListingNumbersName(n))
        {
            numbers = n;
            return true;
        }
    return false;
}

nlohmann::json ListingOptionsToJson(const ListingOptions& o)
{
    nlohmann::json json = nlohmann::json::object();
    json["dialect"] = ListingDialectName(o.dialect);
    json["numbers"] = ListingNumbersName(o.numbers);
    json["rows"] = o.rows;
    json["bytes"] = o.bytesPerSprite;
    json["zeroAttributes"] = o.zeroAttributes;
    json["blockLabel"] = o.blockLabel;
    json["labels"] = LabelsName(o.labels);
    json["labelPrefix"] = o.labelPrefix;
    json["align"] = o.align;
    json["header"] = o.headerAddress < 0 ? nlohmann::json(nullptr) : nlohmann::json(o.headerAddress);
    json["startLine"] = o.startLine;
    json["lineStep"] = o.lineStep;
    json["prg"] = o.prg;
    json["loader"] = o.loaderAddress < 0 ? nlohmann::json(nullptr) : nlohmann::json(o.loaderAddress);
    return json;
}

bool ListingOptionsFromJson(const nlohmann::json& json, ListingOptions& options)
{
    if (!json.is_object()) return false;
    ListingOptions o;
    bool ok = true;
    const auto text = [&](const char* key, auto&& apply)
    {
        const auto it = json.find(key);
        if (it == json.end()) return;
        if (!it->is_string() || !apply(it->template get<std::string>())) ok = false;
    };
    const auto flag = [&](const char* key, bool& target)
    {
        const auto it = json.find(key);
        if (it == json.end()) return;
        if (!it->is_boolean())
            ok = false;
        else
            target = it->template get<bool>();
    };
    // An integer, or with nullable also null (taken as -1).
    const auto number = [&](const char* key, int& target, bool nullable)
    {
        const auto it = json.find(key);
        if (it == json.end()) return;
        if (nullable && it->is_null())
            target = -1;
        else if (!it->is_number_integer() || it->template get<long long>() < 0 ||
                 it->template get<long long>() > 0xFFFF)
            ok = false;
        else
            target = static_cast<int>(it->template get<long long>());
    };
    text("dialect", [&](const std::string& v) { return ListingDialectFromName(v, o.dialect); });
    text("numbers", [&](const std::string& v) { return ListingNumbersFromName(v, o.numbers); });
    text("labels",
         [&](const std::string& v)
         {
             for (ListingLabels l : {ListingLabels::None, ListingLabels::Names, ListingLabels::Prefix})
                 if (v == LabelsName(l))
                 {
                     o.labels = l;
                     return true;
                 }
             return false;
         });
    text("blockLabel", [&](const std::string& v) { return o.blockLabel = v, true; });
    text("labelPrefix", [&](const std::string& v) { return o.labelPrefix = v, true; });
    flag("rows", o.rows);
    flag("zeroAttributes", o.zeroAttributes);
    flag("align", o.align);
    flag("prg", o.prg);
    number("bytes", o.bytesPerSprite, false);
    number("header", o.headerAddress, true);
    number("startLine", o.startLine, false);
    number("lineStep", o.lineStep, false);
    number("loader", o.loaderAddress, true);
    if (!ok || CheckListingOptions(o) != ListingOptionsProblem::None) return false;
    options = o;
    return true;
}

std::string ListingOptionsToJsonText(const ListingOptions& options)
{
    return ListingOptionsToJson(options).dump(2) + "\n";
}

bool ListingOptionsFromJsonText(const std::string& text, ListingOptions& options)
{
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    return !json.is_discarded() && ListingOptionsFromJson(json, options);
}

} // namespace kelmora
