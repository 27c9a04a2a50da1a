// Reading sprite listings back: what FormatListing writes in every dialect, and the
// data a person writes by hand for an assembler, a C compiler or BASIC.
//
// What is read:
// - assembler byte lines: !byte !by !8 !08 .byte .byt .by .db db .dc.b dc.b dfb .dfb
//   (any letter case), with a label before them on the same line or not;
// - C initialisers: "... name[...] = { ... };", over any number of lines, nested
//   braces and a trailing comma allowed;
// - BASIC V2 DATA statements in numbered lines (any letter case, several statements
//   a line), as text or as a tokenised program (a PRG file);
// - lines of bare comma-separated values, as the editor's text listing writes them;
// - numbers: $FF, 0xFF, %11111111 (acme's . and # for 0 and 1 too), 0b11111111,
//   decimal, and in C initialisers octal with a leading 0 and u/U/l/L suffixes;
//   BASIC reads decimal numbers, and an empty DATA item is 0 as on the C64;
// - comments: ; // and /* */ in source, REM in BASIC; preprocessor lines, constants
//   (NAME = value), other directives and instructions are passed over;
// - labels: NAME or NAME: at the start of a line, @NAME:, the name of a C array, and
//   in BASIC a REM holding one word. A label names the sprite that starts at it when the
//   next label or "Sprite N" comment, or the end of the data, comes exactly one sprite later;
// - 63 or 64 bytes a sprite (63: the attribute byte 133 is added): given, or found from
//   the labels and "Sprite N" comments (every run between them a whole number of
//   64-byte, else of 63-byte sprites), else 64.
#pragma once

#include "core/Types.h"

#include <string>
#include <vector>

namespace kelmora
{

enum class ListingReadProblem
{
    None,
    NotText,        // binary bytes that are no BASIC program
    NoData,         // no byte values at all
    NotANumber,     // a value that cannot be read (text holds it)
    OutOfRange,     // a value outside 0..255 (text holds it)
    OtherData,      // a directive that writes other data, or moves on, after the first byte (text)
    CutShort,       // sprite `sprite` has only bytesFound of its bytes
    TooManySprites, // more than 256 sprites; line is where sprite 256 begins
};

struct ListingReadResult
{
    ListingReadProblem problem = ListingReadProblem::None;
    int line = 0;       // 1-based line of the problem (of the listed program for a PRG file)
    int basicLine = -1; // the BASIC line number of that line, -1 when not a BASIC line
    std::string text;   // the value or directive in question
    int sprite = -1;    // CutShort: the sprite
    int bytesFound = 0; // CutShort: how many of its bytes there are

    bool program = false;    // the input was a tokenised BASIC program
    int bytesPerSprite = 64; // as read
    int spriteCount = 0;
    std::vector<u8> sprites;        // spriteCount * 64 bytes
    std::vector<std::string> names; // spriteCount entries, "" when unnamed
};

// Reads a whole listing file. bytesPerSprite is 63, 64, or 0 to find it out.
ListingReadResult ReadListing(const std::vector<u8>& file, int bytesPerSprite);

// Why a listing was refused, in words that name the line ("line 12: $1FF is not a byte
// (0..255)"; BASIC lines by their number too); "" when it was read.
std::string ListingReadProblemText(const ListingReadResult& result);

} // namespace kelmora
