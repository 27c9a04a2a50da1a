// Commodore BASIC V2 programs: text lines turned into the tokenised program a C64
// loads, that program listed back as text, and a short loader for sprite DATA.
//
// Text is ASCII as a C64 user types it in upper case: letters of either case stand for
// the unshifted PETSCII letters; "{$XX}" stands for any other byte.
#pragma once

#include "core/Types.h"

#include <string>
#include <vector>

namespace kelmora
{

constexpr int kBasicStart = 0x0801;      // where the C64 loads a BASIC program
constexpr int kBasicMemoryEnd = 0xA000;  // the first address above BASIC's memory
constexpr int kBasicLastLine = 63999;    // the highest line number a C64 accepts
constexpr int kBasicLineCharacters = 80; // the longest line the screen editor takes

struct BasicLine
{
    int number = 0;
    std::string text; // the statements after the line number, e.g. "DATA 1,2,3"
};

// The bytes of a PRG file holding the program at loadAddress: the two-byte load address,
// then each line as link to the next line, line number, tokens and a 0, then the 0 0 that
// ends the program. Keywords are tokenised as the C64 does when a line is entered: not
// inside quotes, after REM, or in DATA up to the next colon. false (prg unchanged) when a
// line number is outside 0..63999 or not above the one before, or a line's tokens exceed
// 250 bytes, or the program does not fit below $10000.
bool TokeniseBasic(const std::vector<BasicLine>& lines, int loadAddress, std::vector<u8>& prg);

// The lines of the program in a PRG file, as LIST shows them, except that a byte of $80 or
// more in a REM or DATA is kept as {$XX}, so the text is tokenised back to the same bytes. false (lines
// unchanged) when the bytes are not a BASIC program: a line runs past the end or is not ended by 0, or
// nothing ends the chain of lines. The C64 relinks a program it loads, so the links are
// only checked for being non-zero.
bool DetokeniseBasic(const std::vector<u8>& prg, std::vector<BasicLine>& lines);

// The length of the BASIC V2 keyword (any letter case) that text holds at at, or 0.
std::size_t BasicKeywordLength(const std::string& text, std::size_t at);

// "1000 DATA 1,2\n..." and back. BasicTextToLines takes lines that begin with a number;
// false when a line does not (lines unchanged).
std::string BasicLinesToText(const std::vector<BasicLine>& lines);
bool BasicTextToLines(const std::string& text, std::vector<BasicLine>& lines);

// The loader put before the DATA: it READs spriteCount sprites of bytesPerSprite bytes each
// into the 64-byte blocks from address on, then shows the first (at most 8) sprites in a
// row on the screen at $0400: pointers at $07F8, colours from their attribute bytes,
// multicolour bits, the shared colours and the background. Overlay pairs (attribute bit 4)
// stand on one spot, the upper layer in the sprite of higher priority.
struct BasicLoaderPlan
{
    int address = 0x2000;
    int spriteCount = 1;
    int bytesPerSprite = 64;
    u8 background = 0, multicolour1 = 0, multicolour2 = 0;
    std::vector<u8> attributes; // of the listed sprites, at least the first min(8, count)
};

std::vector<std::string> BasicLoaderStatements(const BasicLoaderPlan& plan);

enum class BasicLoaderPlace
{
    Fine,
    InUse,  // over the system area below $0340, the screen, or the program and its variables
    Hidden, // not in the video chip's bank 0 RAM ($1000-$1FFF shows the character ROM)
};

// Whether the blocks of plan's sprites may be filled by a program whose bytes end at
// programEnd (the first address after it): the program's simple variables need room after it.
BasicLoaderPlace CheckBasicLoaderPlace(const BasicLoaderPlan& plan, int programEnd);

} // namespace kelmora
