// The command line of kelmora-cli, parsed into a plain record.
//
// ParseArgs never exits, prints or throws: it returns either the options of one
// command, a request for help or the version, or a usage error with its message.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/ImageImport.h"
#include "core/Listing.h"
#include "core/Sequences.h"
#include "kelmora/Version.h"

namespace kelmora::cli
{

constexpr const char* kProgramName = "kelmora-cli";
constexpr const char* kVersion = KELMORA_VERSION_SHORT;

enum class Command
{
    None, // no command: the tool's own --help or --version
    Info,
    Convert,
    Listing,
    Rip,
    Sheet,
    ImportListing,
    ImportImage,
    Gif,
};

// Sprite file formats; Guess means "from the file name's extension".
enum class Format
{
    Guess,
    Project, // .kmd
    Raw,     // .raw .bin .spr, with the NAME.inf colour side file
    Prg,     // .prg
    Seuck,   // .a
    Auto,    // input only: PRG when size mod 64 is 2, raw otherwise
};

// Attribute byte layouts; Default means "what the format normally holds".
enum class AttrLayout
{
    Default,
    Native,
    Seuck,
    Ignore, // input only: every sprite gets attribute 140
};

enum class Dialect
{
    Plain, // exactly the editor's text listing
    Acme,
    KickAss,
    Ca65,
    Tass64,
    C,
    Basic,
};

enum class ImageFormat
{
    Guess,
    Png,
    Bmp,
};

struct SpriteRange
{
    bool given = false;
    int first = 0;
    int last = 0;
};

struct Options
{
    Command command = Command::None;
    std::vector<std::string> files; // the positional arguments in order

    // Input side (info, convert, listing, sheet).
    Format from = Format::Guess;
    AttrLayout attr = AttrLayout::Default;     // --attr: whichever side has the choice
    AttrLayout fromAttr = AttrLayout::Default; // --from-attr
    AttrLayout toAttr = AttrLayout::Default;   // --to-attr
    SpriteRange range;

    // Output side.
    Format to = Format::Guess;
    int loadAddress = -1; // -1: not given (PRG output uses $8000)
    bool force = false;
    bool noInf = false;

    bool json = false;                      // info
    bool hex = true;                        // listing: --hex (default) or --dec
    Dialect dialect = Dialect::Plain;       // listing
    std::string label;                      // listing, empty when not given
    int bank = 0;                           // rip
    int count = 256;                        // rip; import-image: cells at most, 0 every cell
    int columns = 8;                        // sheet; import-image: 0 as many as fit
    int scale = 2;                          // sheet; import-image: 0 detected
    std::string palette;                    // sheet, empty: the built-in palette; import-image: the best fit
    std::string paletteFile;                // sheet, import-image
    ImageFormat image = ImageFormat::Guess; // sheet: --to png|bmp

    // listing's options beyond --dialect, --hex/--dec and --label (cli/Listing.h), and
    // import-listing's --bytes.
    kelmora::ListingOptions listing;                              // as given; dialect set from `dialect`
    std::vector<std::pair<std::string, std::string>> listingArgs; // each listing option given, in order
    std::string preset;                                           // --preset NAME, empty when not given
    int bytes = 0;                                                // import-listing: 63, 64 or 0 (found out)
    // import-image
    int offsetX = 0, offsetY = 0;                         // --offset X,Y
    int gapX = 0, gapY = 0;                               // --gap X,Y
    kelmora::ImportMode mode = kelmora::ImportMode::Auto; // --mode
    int background = -1;                                  // --background C; -1: chosen
    int multi1 = -1;                                      // --multi1 C
    int multi2 = -1;                                      // --multi2 C
    bool overlay = false;                                 // --overlay
    bool strict = false;                                  // --strict
    std::string report;                                   // --report FILE; empty: none
    // gif (with range, scale, palette and paletteFile above).
    std::string sequence;                                 // --sequence NAME, empty when not given
    int delay = kelmora::kDefaultFrameDelay;              // --delay TICKS, for a range
    bool modeGiven = false;                               // --mode given
    kelmora::PlayMode playMode = kelmora::PlayMode::Loop; // --mode of gif
    std::string strip;                                    // --strip OUT.png, empty when not given
    // sheet and gif
    std::string object; // --object NAME, empty when not given
};

enum class ParseOutcome
{
    Run,     // options holds a command to run
    Help,    // show the help of options.command (None: the tool's help)
    Version, // show the version
    Usage,   // a usage error; message says what is wrong
};

struct ParseResult
{
    ParseOutcome outcome = ParseOutcome::Usage;
    Options options;
    std::string message;
};

// args are the arguments after the program's name.
ParseResult ParseArgs(const std::vector<std::string>& args);

// Names used in messages and in info's output.
const char* CommandName(Command command);
const char* FormatName(Format format);
const char* AttrLayoutName(AttrLayout layout);

// "1A2F", "$c000", "0x0801": one to four hexadecimal digits. -1 when malformed.
int ParseLoadAddress(const std::string& text);

} // namespace kelmora::cli
