// Sprite listings as source for assemblers, C compilers and BASIC V2, with options.
//
// Every dialect keeps one shape: for each sprite an empty line, a "Sprite N" comment,
// an empty line, an optional label and the sprite's bytes behind the dialect's data
// directive (BASIC: numbered DATA lines). With the default options the text is the
// one kelmora-cli has always written.
//
// A preset is a named ListingOptions record; ListingOptionsToJson and
// ListingOptionsFromJson give its stored form.
#pragma once

#include "core/Types.h"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <vector>

namespace kelmora
{

enum class ListingDialect
{
    Acme,
    KickAss,
    Ca65,
    Tass64,
    C,
    Basic, // BASIC V2 DATA lines, or (prg) a tokenised program
};

enum class ListingNumbers
{
    Hex,     // $0A, in C 0x0A
    Decimal, // 10
    Binary,  // %00001010, in C 0b00001010
};

enum class ListingLabels
{
    None,   // no label per sprite
    Names,  // a named sprite gets its name as a label (made valid and unique); others none
    Prefix, // every sprite gets labelPrefix + "_" + its slot number
};

struct ListingOptions
{
    ListingDialect dialect = ListingDialect::Acme;
    ListingNumbers numbers = ListingNumbers::Hex; // BASIC always writes decimal
    bool rows = false;                            // three bytes a line, so a sprite's rows show
    int bytesPerSprite = 64;                      // 63: the attribute byte is left out
    bool zeroAttributes = false;                  // the attribute byte written as 0
    std::string blockLabel;                       // one label before all data (C: the array's name)
    ListingLabels labels = ListingLabels::None;
    std::string labelPrefix = "sprite";
    bool align = false;     // align the data to 64 bytes (acme, KickAss, ca65, 64tass)
    int headerAddress = -1; // 0..65535: constants for colours and blocks of data there
    // BASIC only.
    int startLine = 1000;
    int lineStep = 10;
    bool prg = false;       // a tokenised program (load address $0801) instead of text
    int loaderAddress = -1; // 0..65535: a loader that READs the data to there and shows it
};

enum class ListingProblem
{
    None,
    BadArguments,       // no block, or first..last not a run of slots 0..255
    BadOptions,         // see ListingOptionsProblem
    LineNumbersRunOut,  // BASIC line numbers would pass 63999
    ProgramTooLarge,    // the tokenised program would not fit below $A000
    LoaderAddressInUse, // the loader's data would cover the program, the screen or the system area
    LoaderAddressHidden // the loader's data would lie where the video chip cannot see it
};

enum class ListingOptionsProblem
{
    None,
    BytesPerSprite, // not 63 or 64
    BlockLabel,     // not a letter or _ followed by letters, digits and _
    LabelPrefix,    // the same
    HeaderAddress,  // not -1 and not a multiple of 64 in 0..65535
    StartLine,      // not 0..63999
    LineStep,       // not 1..1000
    LoaderAddress,  // not -1 and not a multiple of 64 in 0..65535
};

// The first problem of these options, or None.
ListingOptionsProblem CheckListingOptions(const ListingOptions& options);

// What a listing writes: text, or for BASIC with prg the bytes of a PRG file.
struct ListingOutput
{
    ListingProblem problem = ListingProblem::None;
    ListingOptionsProblem optionsProblem = ListingOptionsProblem::None;
    std::vector<u8> bytes;
};

// The listing of slots first..last of bank.sprites (the slots keep their numbers in the
// comments and labels). names[slot] is that slot's name; a missing or empty entry is
// unnamed. The shared colours of bank go into the header and the BASIC loader.
ListingOutput FormatListing(const SpriteBank& bank, int first, int last, const ListingOptions& options,
                            const std::vector<std::string>& names);

// The label of each slot first..last as FormatListing writes it ("" where none).
std::vector<std::string> ListingSpriteLabels(int first, int last, const ListingOptions& options,
                                             const std::vector<std::string>& names);

// text made into a label of the dialect: invalid characters become "_", a leading digit
// gets "_" in front, words the assembler or compiler keeps for itself get "_" after;
// BASIC labels (REM lines) are upper case. "" when nothing of text is left.
std::string ListingLabelFrom(const std::string& text, ListingDialect dialect);

// The stored form of a preset: {"dialect": "acme", "numbers": "hex", ...}. Reading takes
// missing keys as their defaults and ignores unknown ones; a key of the wrong type or
// value, or options CheckListingOptions refuses, make it return false with options unchanged.
nlohmann::json ListingOptionsToJson(const ListingOptions& options);
bool ListingOptionsFromJson(const nlohmann::json& json, ListingOptions& options);
std::string ListingOptionsToJsonText(const ListingOptions& options);
bool ListingOptionsFromJsonText(const std::string& text, ListingOptions& options);

// Names used in presets and on the command line.
const char* ListingDialectName(ListingDialect dialect); // "acme", "kickass", "ca65", "64tass", "c", "basic"
const char* ListingNumbersName(ListingNumbers numbers); // "hex", "decimal", "binary"
bool ListingDialectFromName(const std::string& name, ListingDialect& dialect);
bool ListingNumbersFromName(const std::string& name, ListingNumbers& numbers);

} // namespace kelmora
