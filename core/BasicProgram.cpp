// Commodore BASIC V2 programs: tokenising, listing and the sprite loader.
#include "core/BasicProgram.h"

#include <cctype>
#include <cstdio>

namespace kelmora
{

namespace
{

// The keywords of BASIC V2 in token order, from $80 (END) to $CB (GO). When a line is
// entered the C64 takes, at each place, the first keyword of this table that matches.
const char* const kKeywords[] = {
    "END",  "FOR",     "NEXT",   "DATA",   "INPUT#", "INPUT", "DIM",   "READ",   "LET",  "GOTO", "RUN",
    "IF",   "RESTORE", "GOSUB",  "RETURN", "REM",    "STOP",  "ON",    "WAIT",   "LOAD", "SAVE", "VERIFY",
    "DEF",  "POKE",    "PRINT#", "PRINT",  "CONT",   "LIST",  "CLR",   "CMD",    "SYS",  "OPEN", "CLOSE",
    "GET",  "NEW",     "TAB(",   "TO",     "FN",     "SPC(",  "THEN",  "NOT",    "STEP", "+",    "-",
    "*",    "/",       "^",      "AND",    "OR",     ">",     "=",     "<",      "SGN",  "INT",  "ABS",
    "USR",  "FRE",     "POS",    "SQR",    "RND",    "LOG",   "EXP",   "COS",    "SIN",  "TAN",  "ATN",
    "PEEK", "LEN",     "STR$",   "VAL",    "ASC",    "CHR$",  "LEFT$", "RIGHT$", "MID$", "GO",
};
constexpr int kFirstToken = 0x80;
constexpr int kTokenCount = static_cast<int>(sizeof kKeywords / sizeof kKeywords[0]);
constexpr u8 kTokenData = 0x83;
constexpr u8 kTokenRem = 0x8F;
constexpr u8 kTokenPrint = 0x99;
constexpr int kMaxLineTokens = 250;

// The PETSCII byte a character of the text stands for.
u8 Petscii(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<u8>(u - 'a' + 'A');
    return u;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "{$XX}" at text[at]: the byte, or -1.
int Escape(const std::string& text, std::size_t at)
{
    if (at + 5 > text.size() || text[at] != '{' || text[at + 1] != '$' || text[at + 4] != '}') return -1;
    const int high = HexDigit(text[at + 2]), low = HexDigit(text[at + 3]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// The token of the keyword that starts at text[at] (any letter case), or -1; length is its length.
int MatchKeyword(const std::string& text, std::size_t at, std::size_t& length)
{
    for (int t = 0; t < kTokenCount; ++t)
    {
        const char* keyword = kKeywords[t];
        std::size_t k = 0;
        while (keyword[k] != '\0' && at + k < text.size() && Petscii(text[at + k]) == u8(keyword[k]))
            ++k;
        if (keyword[k] == '\0')
        {
            length = k;
            return kFirstToken + t;
        }
    }
    return -1;
}

// The tokens of one line's statements, as the C64 crunches a line typed in.
std::vector<u8> Crunch(const std::string& text)
{
    std::vector<u8> out;
    bool quote = false, data = false, rem = false;
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at; // the spaces after the line number are not kept
    while (at < text.size())
    {
        const char c = text[at];
        const int escaped = Escape(text, at);
        if (escaped >= 0)
        {
            out.push_back(static_cast<u8>(escaped));
            at += 5;
            continue;
        }
        ++at;
        if (c == '"') quote = !quote;
        if (rem || quote || c == '"')
        {
            out.push_back(Petscii(c));
            continue;
        }
        if (data)
        {
            if (c == ':') data = false;
            out.push_back(Petscii(c));
            continue;
        }
        if (c == '?')
        {
            out.push_back(kTokenPrint);
            continue;
        }
        if (c >= '0' && c <= ';')
        {
            out.push_back(Petscii(c));
            continue;
        }
        std::size_t length = 0;
        const int token = MatchKeyword(text, at - 1, length);
        if (token < 0)
        {
            out.push_back(Petscii(c));
            continue;
        }
        out.push_back(static_cast<u8>(token));
        at += length - 1;
        if (token == kTokenData) data = true;
        if (token == kTokenRem) rem = true;
    }
    return out;
}

void AppendEscape(std::string& out, u8 byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "{$%02X}", static_cast<unsigned>(byte));
    out += text;
}

} // namespace

std::size_t BasicKeywordLength(const std::string& text, std::size_t at)
{
    std::size_t length = 0;
    return MatchKeyword(text, at, length) < 0 ? 0 : length;
}

bool TokeniseBasic(const std::vector<BasicLine>& lines, int loadAddress, std::vector<u8>& prg)
{
    if (loadAddress < 0 || loadAddress > 0xFFFF) return false;
    std::vector<u8> out{static_cast<u8>(loadAddress & 0xFF), static_cast<u8>(loadAddress >> 8)};
    int previous = -1;
    for (const BasicLine& line : lines)
    {
        if (line.number < 0 || line.number > kBasicLastLine || line.number <= previous) return false;
        previous = line.number;
        const std::vector<u8> tokens = Crunch(line.text);
        if (tokens.size() > static_cast<std::size_t>(kMaxLineTokens)) return false;
        // out.size() - 2 is the line's offset from the load address.
        const long next =
            loadAddress + static_cast<long>(out.size()) - 2 + 4 + static_cast<long>(tokens.size()) + 1;
        if (next + 2 > 0x10000) return false;
        out.push_back(static_cast<u8>(next & 0xFF));
        out.push_back(static_cast<u8>(next >> 8));
        out.push_back(static_cast<u8>(line.number & 0xFF));
        out.push_back(static_cast<u8>(line.number >> 8));
        out.insert(out.end(), tokens.begin(), tokens.end());
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(0);
    prg.swap(out);
    return true;
}

bool DetokeniseBasic(const std::vector<u8>& prg, std::vector<BasicLine>& lines)
{
    std::vector<BasicLine> out;
    std::size_t at = 2;
    if (prg.size() < 4) return false;
    for (;;)
    {
        if (at + 2 > prg.size()) return false;
        if (prg[at] == 0 && prg[at + 1] == 0) break;
        if (at + 4 > prg.size()) return false;
        BasicLine line;
        line.number = prg[at + 2] | prg[at + 3] << 8;
        at += 4;
        bool quote = false, data = false, rem = false;
        for (;; ++at)
        {
            if (at >= prg.size()) return false;
            const u8 byte = prg[at];
            if (byte == 0) break;
            if (byte == '"') quote = !quote;
            if (data && !quote && byte == ':') data = false;
            if (!quote && !data && !rem && byte >= kFirstToken && byte < kFirstToken + kTokenCount)
            {
                line.text += kKeywords[byte - kFirstToken];
                data = byte == kTokenData;
                rem = byte == kTokenRem;
            }
            else if (byte >= 0x20 && byte <= 0x5F && byte != '{')
                line.text += static_cast<char>(byte);
            else
                AppendEscape(line.text, byte);
        }
        ++at;
        out.push_back(line);
    }
    lines.swap(out);
    return true;
}

std::string BasicLinesToText(const std::vector<BasicLine>& lines)
{
    std::string text;
    for (const BasicLine& line : lines)
        text += std::to_string(line.number) + " " + line.text + "\n";
    return text;
}

bool BasicTextToLines(const std::string& text, std::vector<BasicLine>& lines)
{
    std::vector<BasicLine> out;
    std::size_t at = 0;
    while (at < text.size())
    {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        std::size_t k = line.find_first_not_of(' ');
        if (!std::isdigit(static_cast<unsigned char>(line[k]))) return false;
        long number = 0;
        while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k])) &&
               number <= kBasicLastLine)
            number = number * 10 + (line[k++] - '0');
        if (number > kBasicLastLine) return false;
        if (k < line.size() && line[k] == ' ') ++k;
        out.push_back({static_cast<int>(number), line.substr(k)});
    }
    lines.swap(out);
    return true;
}

std::vector<std::string> BasicLoaderStatements(const BasicLoaderPlan& plan)
{
    const auto n = [](long value) { return std::to_string(value); };
    const int shown = plan.spriteCount < 8 ? plan.spriteCount : 8;
    std::vector<std::string> out;
    out.push_back("FOR I=0 TO " + n(plan.spriteCount - 1) + ":FOR J=0 TO " + n(plan.bytesPerSprite - 1) +
                  ":READ V:POKE " + n(plan.address) + "+I*64+J,V:NEXT J,I");
    out.push_back("PRINT CHR$(147):POKE 53281," + n(plan.background) + ":POKE 53285," + n(plan.multicolour1) +
                  ":POKE 53286," + n(plan.multicolour2));

    // Slot j is shown by hardware sprite shown-1-j: the video chip draws a lower-numbered
    // sprite over a higher one, and an overlay partner (slot j+1) belongs on top of slot j.
    int multicolour = 0, enabled = 0, spot = -1;
    std::vector<std::string> sprites;
    for (int j = 0; j < shown; ++j)
    {
        const u8 attribute =
            j < static_cast<int>(plan.attributes.size()) ? plan.attributes[j] : kDefaultAttribute;
        const bool onPrevious = j > 0 && j - 1 < static_cast<int>(plan.attributes.size()) &&
                                (plan.attributes[j - 1] & kAttrOverlay) != 0;
        if (!onPrevious) ++spot;
        const int h = shown - 1 - j;
        if (attribute & kAttrMulticolour) multicolour |= 1 << h;
        enabled |= 1 << h;
        sprites.push_back("POKE " + n(2040 + h) + "," + n(plan.address / 64 + j) + ":POKE " + n(53287 + h) +
                          "," + n(attribute & kAttrColourMask) + ":POKE " + n(53248 + 2 * h) + "," +
                          n(24 + 28 * spot) + ":POKE " + n(53249 + 2 * h) + ",100");
    }
    // Multicolour bits; X above 255, double height, double width and behind-text all off.
    out.push_back("POKE 53276," + n(multicolour) + ":POKE 53264,0:POKE 53271,0:POKE 53277,0:POKE 53275,0");
    out.insert(out.end(), sprites.begin(), sprites.end());
    out.push_back("POKE 53269," + n(enabled));
    return out;
}

BasicLoaderPlace CheckBasicLoaderPlace(const BasicLoaderPlan& plan, int programEnd)
{
    const long start = plan.address;
    const long end = start + 64L * plan.spriteCount;
    const auto overlaps = [&](long from, long to) { return start < to && from < end; };
    // The simple variables I, J and V take 7 bytes each right after the program.
    constexpr long kVariableRoom = 64;
    if (start < 0x0340 || overlaps(0x0400, 0x0800)) return BasicLoaderPlace::InUse;
    if (end > 0x4000 || overlaps(0x1000, 0x2000)) return BasicLoaderPlace::Hidden;
    if (overlaps(kBasicStart, programEnd + kVariableRoom)) return BasicLoaderPlace::InUse;
    return BasicLoaderPlace::Fine;
}

} // namespace kelmora
