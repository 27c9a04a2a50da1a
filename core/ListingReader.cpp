// Reading sprite listings back.
#include "core/ListingReader.h"

#include "core/BasicProgram.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kelmora
{

namespace
{

constexpr std::size_t kMostBytes = static_cast<std::size_t>(kBlockBytes);

const char* const kByteDirectives[] = {"!byte", "!by", "!8",    "!08",  ".byte", ".byt", ".by",
                                       ".db",   "db",  ".dc.b", "dc.b", "dfb",   ".dfb"};
// Directives that write other data, or move on, so that later bytes would not follow on.
const char* const kOtherDataDirectives[] = {
    "!word",  "!wo",    "!16",      "!24",        "!32",      "!le16",    "!be16",  "!text",   "!tx",
    "!pet",   "!raw",   "!scr",     "!fill",      "!fi",      "!skip",    "!align", "!binary", "!bin",
    "!bi",    "!hex",   "!h",       "*",          ".word",    ".wo",      ".dword", ".long",   ".addr",
    ".text",  ".ptext", ".null",    ".shift",     ".fill",    ".res",     ".align", ".binary", ".incbin",
    ".org",   "org",    ".dw",      "dw",         ".ds",      "ds",       ".dsb",   "dsb",     ".dc.w",
    "dc.w",   ".pc",    ".rta",     ".char",      ".sint",    ".lint",    ".dint",  ".import", ".asciiz",
    ".ascii", ".dbyt",  ".faraddr", ".bankbytes", ".lobytes", ".hibytes", ".tag",   ".dword"};
const char* const kMnemonics[] = {
    "adc", "and", "asl", "bcc", "bcs", "beq", "bit", "bmi", "bne", "bpl", "brk", "bvc", "bvs", "clc",
    "cld", "cli", "clv", "cmp", "cpx", "cpy", "dec", "dex", "dey", "eor", "inc", "inx", "iny", "jmp",
    "jsr", "lda", "ldx", "ldy", "lsr", "nop", "ora", "pha", "php", "pla", "plp", "rol", "ror", "rti",
    "rts", "sbc", "sec", "sed", "sei", "sta", "stx", "sty", "tax", "tay", "tsx", "txa", "txs", "tya"};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text)
{
    const std::size_t from = text.find_first_not_of(" \t");
    if (from == std::string::npos) return {};
    const std::size_t to = text.find_last_not_of(" \t");
    return text.substr(from, to - from + 1);
}

template <std::size_t N> bool IsOneOf(const std::string& word, const char* const (&words)[N])
{
    const std::string lower = Lower(word);
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return lower == w; });
}

bool IsLabelChar(char c, bool first)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80) return false;
    return std::isalpha(u) || u == '_' || u == '@' || (!first && (std::isdigit(u) || u == '.'));
}

// "Sprite 12" (any letter case, spaces around): the header comment of a sprite.
bool IsSpriteHeader(const std::string& comment)
{
    const std::string text = Lower(Trim(comment));
    if (text.compare(0, 6, "sprite") != 0 || text.size() < 8 ||
        !std::isspace(static_cast<unsigned char>(text[6])))
        return false;
    const std::string number = Trim(text.substr(6));
    return !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class ValueSyntax
{
    Assembler,
    C,
    Basic,
};

// Reads one value. Returns false with problem set when it is not a number in 0..255.
bool ParseValue(const std::string& token, ValueSyntax syntax, u8& value, ListingReadProblem& problem)
{
    std::string t = Trim(token);
    problem = ListingReadProblem::NotANumber;
    if (t.empty()) return false;
    bool negative = false;
    if (t[0] == '+' || t[0] == '-')
    {
        negative = t[0] == '-';
        t = Trim(t.substr(1));
    }
    if (syntax == ValueSyntax::C)
        while (t.size() > 1 && std::strchr("uUlL", t.back()) != nullptr)
            t.pop_back();

    int base = 10;
    std::size_t at = 0;
    const std::string lower = Lower(t);
    if (syntax == ValueSyntax::Basic)
    {
        // A C64 reads "7.0" as 7; fractions are refused rather than cut off.
        const std::size_t dot = t.find('.');
        if (dot != std::string::npos && t.find_first_not_of('0', dot + 1) == std::string::npos && dot > 0)
            t.erase(dot);
    }
    else if (t[0] == '$')
        base = 16, at = 1;
    else if (t[0] == '%')
        base = 2, at = 1;
    else if (lower.compare(0, 2, "0x") == 0)
        base = 16, at = 2;
    else if (lower.compare(0, 2, "0b") == 0)
        base = 2, at = 2;
    else if (syntax == ValueSyntax::C && t.size() > 1 && t[0] == '0')
        base = 8, at = 1;
    if (at >= t.size()) return false;

    unsigned long long number = 0;
    for (std::size_t k = at; k < t.size(); ++k)
    {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[k])));
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 2 && t[0] == '%' && (c == '.' || c == '#'))
            digit = c == '#' ? 1 : 0;
        if (digit < 0 || digit >= base) return false;
        if (number < 1000000) number = number * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    if (negative && number != 0)
    {
        problem = ListingReadProblem::OutOfRange;
        return false;
    }
    if (number > 255)
    {
        problem = ListingReadProblem::OutOfRange;
        return false;
    }
    value = static_cast<u8>(number);
    problem = ListingReadProblem::None;
    return true;
}

// Splits at commas outside quotes.
std::vector<std::string> SplitValues(const std::string& text)
{
    std::vector<std::string> parts(1);
    bool quote = false;
    for (char c : text)
    {
        if (c == '"') quote = !quote;
        if (c == ',' && !quote)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

struct Marker
{
    std::size_t position; // the data offset it stands at
    bool header;          // a "Sprite N" comment, else a label
    std::string name;
};

class Reader
{
  public:
    ListingReadResult result;
    std::vector<u8> data;
    std::vector<int> dataLine;      // the line of each byte
    std::vector<int> dataBasicLine; // and its BASIC line number, -1 when none
    std::vector<Marker> markers;

    bool ReadText(const std::string& text)
    {
        std::size_t at = 0;
        while (at <= text.size() && result.problem == ListingReadProblem::None)
        {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ++lineNumber_;
            ReadLine(line);
            if (end == text.size()) break;
            at = end + 1;
        }
        return result.problem == ListingReadProblem::None;
    }

  private:
    int lineNumber_ = 0;
    int basicLine_ = -1;
    bool inBlockComment_ = false;
    int braces_ = 0; // depth inside a C initialiser

    void Fail(ListingReadProblem problem, const std::string& text)
    {
        if (result.problem != ListingReadProblem::None) return;
        result.problem = problem;
        result.line = lineNumber_;
        result.basicLine = basicLine_;
        result.text = text;
    }

    void Mark(bool header, const std::string& name) { markers.push_back({data.size(), header, name}); }

    bool AddValue(const std::string& token, ValueSyntax syntax)
    {
        u8 value = 0;
        ListingReadProblem problem = ListingReadProblem::None;
        if (!ParseValue(token, syntax, value, problem))
        {
            Fail(problem, Trim(token));
            return false;
        }
        if (data.size() >= kMostBytes + kSpriteBytes)
        {
            Fail(ListingReadProblem::TooManySprites, "");
            return false;
        }
        data.push_back(value);
        dataLine.push_back(lineNumber_);
        dataBasicLine.push_back(basicLine_);
        return true;
    }

    // Values separated by commas; allowEmptyLast takes a trailing comma (C).
    void AddValues(const std::string& text, ValueSyntax syntax, bool allowEmptyLast)
    {
        const std::vector<std::string> parts = SplitValues(text);
        for (std::size_t k = 0; k < parts.size(); ++k)
        {
            if (allowEmptyLast && k + 1 == parts.size() && Trim(parts[k]).empty()) break;
            if (syntax == ValueSyntax::Basic && Trim(parts[k]).empty())
            {
                // An empty DATA item reads as 0 on the C64.
                if (!AddValue("0", syntax)) return;
                continue;
            }
            if (!AddValue(parts[k], syntax)) return;
        }
    }

    // Takes the comments out of line (block comments may span lines) and returns the
    // rest; comments holds the text of each.
    std::string StripComments(const std::string& line, std::vector<std::string>& comments)
    {
        std::string code;
        std::string comment;
        bool quote = false;
        for (std::size_t k = 0; k < line.size(); ++k)
        {
            const char c = line[k];
            if (inBlockComment_)
            {
                if (c == '*' && k + 1 < line.size() && line[k + 1] == '/')
                {
                    inBlockComment_ = false;
                    comments.push_back(comment);
                    comment.clear();
                    ++k;
                }
                else
                    comment += c;
                continue;
            }
            if (c == '"') quote = !quote;
            if (!quote && (c == ';' || (c == '/' && k + 1 < line.size() && line[k + 1] == '/')))
            {
                comments.push_back(line.substr(k + (c == ';' ? 1 : 2)));
                break;
            }
            if (!quote && c == '/' && k + 1 < line.size() && line[k + 1] == '*')
            {
                inBlockComment_ = true;
                ++k;
                continue;
            }
            code += c;
        }
        return code;
    }

    // "1000 DATA ..." : a line number, then a BASIC keyword.
    bool ReadBasicLine(const std::string& line)
    {
        std::size_t k = line.find_first_not_of(" \t");
        if (k == std::string::npos || !std::isdigit(static_cast<unsigned char>(line[k]))) return false;
        long number = 0;
        while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k])))
        {
            if (number <= kBasicLastLine) number = number * 10 + (line[k] - '0');
            ++k;
        }
        while (k < line.size() && line[k] == ' ')
            ++k;
        if (k >= line.size() || !std::isalpha(static_cast<unsigned char>(line[k])) ||
            BasicKeywordLength(line, k) == 0)
            return false;
        basicLine_ = static_cast<int>(number);

        // Statements separated by colons outside quotes; REM takes the rest of the line.
        while (k < line.size() && result.problem == ListingReadProblem::None)
        {
            while (k < line.size() && (line[k] == ' ' || line[k] == ':'))
                ++k;
            const std::string rest = line.substr(k);
            const std::string word = Lower(rest.substr(0, 4));
            if (word.compare(0, 3, "rem") == 0)
            {
                // "REM SPRITE 3" heads a sprite; "REM NAME" (one word) labels it.
                const std::string comment = Trim(rest.substr(3));
                if (IsSpriteHeader(comment))
                    Mark(true, "");
                else if (!comment.empty() && std::all_of(comment.begin(), comment.end(),
                                                         [](char c) { return IsLabelChar(c, false); }))
                    Mark(false, comment);
                return true;
            }
            bool quote = false;
            std::size_t end = 0;
            while (end < rest.size() && (quote || rest[end] != ':'))
            {
                if (rest[end] == '"') quote = !quote;
                ++end;
            }
            if (word == "data") AddValues(rest.substr(4, end - 4), ValueSyntax::Basic, false);
            k += end;
        }
        return true;
    }

    void ReadCContents(const std::string& code)
    {
        std::string values;
        for (char c : code)
        {
            if (braces_ == 0) break;
            if (c == '{')
                ++braces_;
            else if (c == '}')
            {
                --braces_;
                values += ',';
            }
            else
                values += c;
        }
        // Commas stand where braces closed; empty items between them are not values.
        const std::vector<std::string> parts = SplitValues(values);
        for (const std::string& part : parts)
            if (!Trim(part).empty() && !AddValue(part, ValueSyntax::C)) return;
    }

    void ReadLine(const std::string& line)
    {
        basicLine_ = -1;
        if (!inBlockComment_ && braces_ == 0 && ReadBasicLine(line)) return;

        std::vector<std::string> comments;
        const std::string code = StripComments(line, comments);
        for (const std::string& comment : comments)
            if (IsSpriteHeader(comment)) Mark(true, "");
        const std::string trimmed = Trim(code);
        if (trimmed.empty()) return;
        if (braces_ > 0)
        {
            ReadCContents(trimmed);
            return;
        }
        if (trimmed[0] == '#') return; // the C preprocessor

        // A C initialiser: "... name[...] = {".
        const std::size_t brace = trimmed.find('{');
        const std::size_t bracket = trimmed.find('[');
        const std::size_t equals = trimmed.find('=');
        if (brace != std::string::npos && bracket != std::string::npos && equals != std::string::npos &&
            bracket < equals && equals < brace)
        {
            std::size_t end = bracket;
            while (end > 0 && trimmed[end - 1] == ' ')
                --end;
            std::size_t start = end;
            while (start > 0 && IsLabelChar(trimmed[start - 1], false))
                --start;
            if (start < end) Mark(false, trimmed.substr(start, end - start));
            braces_ = 1;
            ReadCContents(trimmed.substr(brace + 1));
            return;
        }

        // Bare values, as in the editor's text listing.
        const char first = trimmed[0];
        if (std::isdigit(static_cast<unsigned char>(first)) || first == '$' || first == '%')
        {
            AddValues(trimmed, ValueSyntax::Assembler, false);
            return;
        }
        ReadAssemblerLine(code);
    }

    void ReadAssemblerLine(const std::string& code)
    {
        std::string rest = code;
        const bool atStart = !code.empty() && IsLabelChar(code[0], true);
        std::string word = FirstWord(Trim(rest));
        const bool colon = !word.empty() && word.back() == ':';
        // A byte directive at the start of a line ("db 1,2") is no label.
        if ((atStart && !IsOneOf(word, kByteDirectives)) ||
            (colon && word.size() > 1 && IsLabelChar(word[0], true)))
        {
            const std::string name = colon ? word.substr(0, word.size() - 1) : word;
            const std::string after = Trim(Trim(rest).substr(word.size()));
            const std::string next = Lower(FirstWord(after));
            // "NAME = 5", "NAME equ 5": a constant; a mnemonic at the start: an instruction.
            if (!after.empty() && (after[0] == '=' || next == "equ" || next == ".equ" || next == ".set" ||
                                   after.compare(0, 2, ":=") == 0))
                return;
            if (!colon && IsOneOf(name, kMnemonics)) return;
            if (std::all_of(name.begin(), name.end(), [](char c) { return IsLabelChar(c, false); }))
                Mark(false, name);
            rest = after;
        }
        const std::string statement = Trim(rest);
        const std::string directive = FirstWord(statement);
        if (IsOneOf(directive, kByteDirectives))
            AddValues(statement.substr(directive.size()), ValueSyntax::Assembler, false);
        else if ((IsOneOf(directive, kOtherDataDirectives) || statement.compare(0, 2, "*=") == 0) &&
                 !data.empty())
            Fail(ListingReadProblem::OtherData, directive);
    }

    static std::string FirstWord(const std::string& text)
    {
        std::size_t end = 0;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        return text.substr(0, end);
    }
};

// Finds the bytes a sprite, checks every run between markers, and names sprites.
void Finish(Reader& reader, int wanted)
{
    ListingReadResult& result = reader.result;
    const std::vector<u8>& data = reader.data;
    if (data.empty())
    {
        result.problem = ListingReadProblem::NoData;
        return;
    }
    std::vector<std::size_t> bounds{0, data.size()};
    for (const Marker& marker : reader.markers)
        bounds.push_back(marker.position);
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    const auto all = [&](std::size_t size)
    {
        for (std::size_t k = 1; k < bounds.size(); ++k)
            if ((bounds[k] - bounds[k - 1]) % size != 0) return false;
        return true;
    };
    int size = wanted;
    if (size == 0) size = all(kSpriteBytes) || !all(kPixelBytes) ? kSpriteBytes : kPixelBytes;
    result.bytesPerSprite = size;
    const std::size_t step = static_cast<std::size_t>(size);

    for (std::size_t k = 1; k < bounds.size(); ++k)
    {
        const std::size_t length = bounds[k] - bounds[k - 1];
        if (length % step == 0) continue;
        const std::size_t start = bounds[k - 1] + length / step * step;
        result.problem = ListingReadProblem::CutShort;
        result.sprite = static_cast<int>(start / step);
        result.bytesFound = static_cast<int>(length % step);
        result.line = reader.dataLine[bounds[k] - 1];
        result.basicLine = reader.dataBasicLine[bounds[k] - 1];
        return;
    }
    const std::size_t count = data.size() / step;
    if (count > static_cast<std::size_t>(kSlotCount))
    {
        result.problem = ListingReadProblem::TooManySprites;
        result.line = reader.dataLine[kSlotCount * step];
        result.basicLine = reader.dataBasicLine[kSlotCount * step];
        return;
    }

    result.spriteCount = static_cast<int>(count);
    result.sprites.assign(count * kSpriteBytes, kDefaultAttribute);
    for (std::size_t i = 0; i < count; ++i)
        std::copy(data.begin() + static_cast<long>(i * step),
                  data.begin() + static_cast<long>((i + 1) * step),
                  result.sprites.begin() + static_cast<long>(i * kSpriteBytes));
    result.names.assign(count, std::string());
    const std::vector<Marker>& markers = reader.markers;
    for (std::size_t m = 0; m < markers.size(); ++m)
    {
        const Marker& marker = markers[m];
        if (marker.header || marker.position % step != 0 || marker.position >= data.size()) continue;
        const std::size_t next = m + 1 < markers.size() ? markers[m + 1].position : data.size();
        if (next == marker.position + step) result.names[marker.position / step] = marker.name;
    }
}

} // namespace

ListingReadResult ReadListing(const std::vector<u8>& file, int bytesPerSprite)
{
    Reader reader;
    ListingReadResult& result = reader.result;
    std::string text;
    if (std::find(file.begin(), file.end(), 0) != file.end())
    {
        std::vector<BasicLine> lines;
        if (!DetokeniseBasic(file, lines))
        {
            result.problem = ListingReadProblem::NotText;
            return result;
        }
        result.program = true;
        text = BasicLinesToText(lines);
    }
    else
        text.assign(file.begin(), file.end());

    if (reader.ReadText(text))
        Finish(reader, bytesPerSprite == kPixelBytes || bytesPerSprite == kSpriteBytes ? bytesPerSprite : 0);
    if (result.problem != ListingReadProblem::None)
    {
        result.spriteCount = 0;
        result.sprites.clear();
        result.names.clear();
    }
    return result;
}

std::string ListingReadProblemText(const ListingReadResult& r)
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
    case ListingReadProblem::NotText:
        return "is neither a text listing nor a BASIC program";
    case ListingReadProblem::NoData:
        return "holds no sprite bytes (no !byte, .byte, DATA lines, C initialiser or lines of values)";
    case ListingReadProblem::NotANumber:
        return where + "'" + r.text + "' is not a number";
    case ListingReadProblem::OutOfRange:
        return where + r.text + " is not a byte (0..255)";
    case ListingReadProblem::OtherData:
        return where + r.text + " writes other data between the sprite bytes";
    case ListingReadProblem::CutShort:
        return where + "sprite " + std::to_string(r.sprite) +
               " is cut short: " + std::to_string(r.bytesFound) + " of its " +
               std::to_string(r.bytesPerSprite) + " bytes";
    case ListingReadProblem::TooManySprites:
        return where + "more than 256 sprites";
    case ListingReadProblem::None:
        break;
    }
    return {};
}

} // namespace kelmora
