// The texts of --help and --version.
#include "cli/Help.h"

namespace kelmora::cli
{

namespace
{

const char* const kToolHelp = R"(Usage: kelmora-cli COMMAND [OPTIONS] FILES...
       kelmora-cli COMMAND --help
       kelmora-cli --help | --version

Reads and writes the sprite files of the Kelmora sprite editor, byte for byte
as the editor does, for build scripts and makefiles.

Commands:
  info FILE          the format, sprite count, shared colours and each sprite
  convert IN OUT     between project, raw, PRG and SEUCK files
  listing IN OUT     the sprite bytes as text: the editor's listing, or data for
                     acme, KickAssembler, ca65, 64tass, a C compiler or BASIC
  import-listing IN OUT
                     sprites read back from a listing (source or BASIC)
  rip SNAPSHOT OUT   the sprites of a video bank of a VICE C64 snapshot
  sheet IN OUT       a PNG or BMP picture of the sprites
  import-image IMAGE OUT
                     sprites from a PNG, GIF or BMP picture of them
  gif IN OUT         an animated GIF of a run of sprites or of a project's
                     named sequence

File formats, guessed from the extension (--from and --to choose one):
  project  .kmd            the editor's project: three shared colours, then
                           64 bytes a sprite
  raw      .raw .bin .spr  64 bytes a sprite; the shared colours in the side
                           file NAME.inf (three bytes) when there is one
  prg      .prg            a two-byte load address, then raw sprite data
  seuck    .a              SEUCK sprite file: 127 sprites, SEUCK attribute bytes
  auto     any other       (input only) PRG data when the size is 2 more than a
                           multiple of 64, raw data otherwise, as the editor's
                           import dialog detects it

Sprites are numbered from 0. A range A-B takes sprites A to B of the file.
Outputs that exist are never replaced without --force.

Exit status: 0 done, 1 a file was refused or could not be written, 2 a usage
error.
)";

const char* const kInfoHelp = R"(Usage: kelmora-cli info [OPTIONS] FILE

Shows the format of FILE, how many sprites it holds, its shared colours when the
format stores them, and for each sprite its mode (multicolour or hires), its own
colour, its overlay flag and whether its pixels are blank.

Options:
  --json             the same as a JSON object, for scripts
  --from FORMAT      read FILE as project, raw, prg, seuck or auto
  --attr LAYOUT      attribute bytes in FILE: native, seuck or ignore (every
                     sprite gets attribute 140); default native, seuck for .a
  -h, --help         this text

Example:
  kelmora-cli info --json ship.kmd
)";

const char* const kConvertHelp = R"(Usage: kelmora-cli convert [OPTIONS] IN OUT

Reads IN and writes its sprites to OUT in another format, with the editor's own
readers and writers: project files as Save Project writes them, raw and PRG
data as the Export dialog writes them, SEUCK files as Save Sprite File does.

Options:
  --from FORMAT      read IN as project, raw, prg, seuck or auto
  --to FORMAT        write OUT as project, raw, prg or seuck
  --attr LAYOUT      the attribute layout of whichever file has the choice
                     (raw, PRG and SEUCK input; raw and PRG output): native
                     ("MXXO:CCCC", the editor's), seuck ("XXXM:CCCC") or, for
                     input only, ignore (every sprite gets attribute 140)
  --from-attr LAYOUT the layout of IN alone (native, seuck or ignore)
  --to-attr LAYOUT   the layout of OUT alone (native or seuck)
  --load-address HEX the load address of a PRG file, 0000..FFFF (default 8000;
                     "$C000" and "0xC000" are taken too)
  --range A-B        only sprites A to B of IN, which become sprites 0.. of OUT
  --no-inf           with raw output, write no NAME.inf side file
  -f, --force        replace OUT (and OUT.inf) when they exist
  -h, --help         this text

Raw output: when IN holds the shared colours (a project, or raw data with its
side file), they are written to the side file OUT.inf as well, which the
editor reads with the data. A project made from a file without colours gets
the editor's start-up colours 11, 0 and 1. A SEUCK file holds at most 127
sprites; a project, raw or PRG file 1 to 256.

Examples:
  kelmora-cli convert ship.kmd ship.prg --load-address 2000
  kelmora-cli convert enemies.a enemies.kmd
  kelmora-cli convert ship.kmd walk.raw --range 4-7
)";

const char* const kListingHelp = R"(Usage: kelmora-cli listing [OPTIONS] IN OUT

Writes the bytes of the sprites of IN to the text file OUT. Without --dialect
the file is byte for byte the editor's "View Text Data" listing: for each
sprite an empty line, "; Sprite N", an empty line and its 64 bytes separated
by commas.

Options:
  --hex              values as $0A (the default)
  --dec              values as 10
  --range A-B        only sprites A to B (the numbers in the listing stay the
                     sprites' numbers in IN); default all sprites
  --dialect NAME     the same lines made into source for an assembler or C:
                       acme     "!byte" lines (include the file with !source
                                where the program counter is set)
                       kickass  ".byte" lines, "//" comments
                       ca65     ".byte" lines
                       64tass   ".byte" lines
                       c        an array "const unsigned char sprites[N]"
                                with 0x0A values in hex
                       basic    numbered BASIC V2 DATA lines (decimal, at
                                most 80 characters a line), REM SPRITE N
                                before each sprite
  --label NAME       a label before the data (the array's name in C)
  --from FORMAT      read IN as project, raw, prg, seuck or auto
  --attr LAYOUT      attribute bytes in IN: native, seuck or ignore
  -f, --force        replace OUT when it exists
  -h, --help         this text

With --dialect:
  --numbers STYLE    hex (the default), decimal or binary (%00111100; in C
                     0b00111100)
  --rows             three bytes a line, so each line is a row of pixels
  --bytes 63|64      bytes a sprite (default 64); 63 leaves the attribute out
  --zero-attributes  write each attribute byte as 0
  --labels names     a label per named sprite, from its name in the project's
                     side file IN.json (made valid for the dialect and
                     unique); in C each starts an array
  --labels prefix:P  a label P_N for every sprite N
  --align            align the data to 64 bytes (acme, kickass, ca65, 64tass)
  --header HEX       constants before the data: the shared colours, and each
                     sprite's colour and block number (pointer value) when
                     the data lies at address HEX (a multiple of 40 hex)
  --preset NAME      the options saved under NAME in the project's side file
                     IN.json (the editor's Export Listing saves presets);
                     options given here go over them
With --dialect basic:
  --prg              a tokenised BASIC program (load address $0801) instead
                     of text: LOAD "OUT",8 and LIST or RUN it on a C64
  --start-line N     the first line number (default 1000)
  --line-step N      the step between line numbers (default 10)
  --loader HEX       lines before the DATA that READ the sprites into the
                     blocks from address HEX on (in $0340-$03FF or
                     $2000-$3FFF, above the program) and show the first 8

Examples:
  kelmora-cli listing ship.kmd ship.txt --dec
  kelmora-cli listing ship.kmd ship.asm --dialect acme --label ship_sprites
  kelmora-cli listing ship.kmd ship.s --dialect 64tass --numbers binary --rows
  kelmora-cli listing ship.kmd ship.prg --dialect basic --prg --loader 3000
)";

const char* const kImportListingHelp = R"(Usage: kelmora-cli import-listing [OPTIONS] IN OUT

Reads the sprite bytes of the listing IN and writes the sprites to OUT, in the
format OUT's extension names. IN may be any listing that "listing" writes, in
every dialect and option, a tokenised BASIC program of DATA lines, or source
written by hand:
  - byte lines: !byte !by !8 !08 .byte .byt .by .db db .dc.b dc.b dfb .dfb
  - C initialisers: ... name[...] = { ... };
  - BASIC DATA statements, as text or as a PRG file
  - lines of bare values separated by commas (the editor's text listing)
  - numbers as $FF, 0xFF, %11111111, 0b11111111 or decimal
  - comments (; // /* */ REM), labels and other lines are passed over
A value outside 0..255 or a sprite cut short is refused with its line, and
nothing is written.
Labels name the sprites they start: when OUT is a project, its side file
OUT.json keeps the names (written with OUT, replacing an older one).

Options:
  --bytes 63|64      bytes a sprite in IN; without it they are found from the
                     labels and "Sprite N" comments, else 64. Sprites of 63
                     bytes get the attribute byte 133 (multicolour, colour 5)
  --range A-B        only sprites A to B of IN
  --to FORMAT        write OUT as project, raw, prg or seuck
  --load-address HEX the load address of a PRG file (default 8000)
  --no-inf           with raw output, write no NAME.inf side file
  -f, --force        replace OUT when it exists
  -h, --help         this text

Example:
  kelmora-cli import-listing ship.asm ship.kmd
)";

const char* const kRipHelp = R"(Usage: kelmora-cli rip [OPTIONS] SNAPSHOT OUT

Copies the 256 sprites of one 16 KB video bank of the C64 memory held in the
VICE snapshot SNAPSHOT (.vsf) and writes them to OUT: sprite k is memory
bank x $4000 + 64 x k. Snapshots of other machines are refused.

Options:
  --bank N           the video bank 0..3 (default 0): 0 $0000-$3FFF,
                     1 $4000-$7FFF, 2 $8000-$BFFF, 3 $C000-$FFFF
  --count N          how many sprites of the bank to write, 1..256
                     (default 256)
  --to FORMAT        write OUT as project, raw, prg or seuck
  --load-address HEX the load address of a PRG file (default 8000)
  -f, --force        replace OUT when it exists
  -h, --help         this text

A project written here has the editor's start-up colours 11, 0 and 1.

Example:
  kelmora-cli rip game.vsf game.kmd --bank 1 --count 128
)";

const char* const kSheetHelp = R"(Usage: kelmora-cli sheet [OPTIONS] IN OUT

Draws the sprites of IN into a picture, OUT.png or OUT.bmp (32 bits a pixel),
as the editor's browser shows them: each sprite with its own colour and the
shared colours of IN, multicolour pixels twice as wide, and the next sprite on
top when the overlay flag is set. Cells past the last sprite are dark grey.

Options:
  --columns N        sprites a row, 1..256 (default 8)
  --scale N          each pixel N x N, 1..8 (default 2)
  --range A-B        only sprites A to B
  --object NAME      draw the object NAME of the project's side file IN.json as
                     one picture (IN must be a project); with --range, one
                     picture for each frame of it within A-B: an animated object
                     keeps its frames one after the other, each frame in the
                     sprites of the one before moved on by the sprites a frame
                     spans
  --palette NAME     the palette to draw with: the built-in "Vantor" (the
                     default) or one of the palettes in palettes.pal
  --palette-file F   read the palettes from F instead; without --palette the
                     first palette of F is used
  --to png|bmp       the picture's format when OUT's extension does not say
  --from FORMAT      read IN as project, raw, prg, seuck or auto
  --attr LAYOUT      attribute bytes in IN: native, seuck or ignore
  -f, --force        replace OUT when it exists
  -h, --help         this text

palettes.pal is looked for beside kelmora-cli, then in the user's and the
system's data folders (for example ~/.local/share/kelmora and
/usr/share/kelmora).

Examples:
  kelmora-cli sheet ship.kmd ship.png --columns 4 --scale 3 --palette Colodore
  kelmora-cli sheet robot.kmd robot.png --object robot --scale 4
)";

const char* const kImportImageHelp = R"(Usage: kelmora-cli import-image [OPTIONS] IMAGE OUT

Makes sprites of a picture (PNG, GIF or BMP; each frame of an animated GIF in
turn) and writes them to the sprite file OUT. The picture is cut into cells of
24 x 21 sprite pixels, each sprite pixel a square of SCALE x SCALE picture
pixels, left to right and top to bottom; each cell becomes one sprite.

  palette      the picture's colours are matched against every palette known
               (the built-in one and those of palettes.pal) and the closest
               palette is used; each colour becomes its nearest C64 colour
  transparency pixels with alpha below 128 are background
  mode         a cell is multicolour when every horizontal pair of its pixels
               is one colour, hires otherwise
  colours      the background is the most frequent colour; multi-colour 1 and
               2 the pair that lets the most multicolour cells be shown
               exactly (each may also use one colour of its own); a hires cell
               shows the background and one colour of its own
  violations   a pixel its sprite cannot show takes the nearest colour the
               sprite can show; these are counted on standard error
  blank cells  become cleared sprites (attribute 133); cells in a sheet's
               dark grey after the last sprite are left out

Options:
  --scale N          picture pixels a sprite pixel, 1..64 (default: the largest
                     N for which every N x N square is one colour)
  --offset X,Y       where the first cell starts (default 0,0)
  --gap X,Y          picture pixels between cells (default 0,0)
  --columns N        cells a row at most, 1..256 (default: as many as fit)
  --count N          cells at most, 1..256 (default: all)
  --palette NAME     match against this palette only: "Vantor" (built in) or
                     one of palettes.pal
  --palette-file F   read the palettes from F instead of palettes.pal
  --mode MODE        auto (the default), hires or multicolour for every cell
  --background C     the background colour 0..15 (default: chosen)
  --multi1 C         multi-colour 1, 0..15 (default: chosen)
  --multi2 C         multi-colour 2, 0..15 (default: chosen)
  --overlay          a cell one sprite cannot show becomes an overlay pair: a
                     multicolour sprite with a hires sprite of one colour on top
                     in the next slot (when the next cell shows exactly that
                     hires sprite, as in a sheet, it is that sprite)
  --report F.json    write the palette, shared colours and each cell's mode,
                     colours and violations to F.json
  --strict           exit 1 and write no sprites when any pixel could not be
                     shown exactly
  --to FORMAT        write OUT as project, raw, prg or seuck
  --load-address HEX the load address of a PRG file (default 8000)
  --no-inf           with raw output, write no NAME.inf side file
  -f, --force        replace OUT (and its side file and report) when they exist
  -h, --help         this text

Exit status: 0 imported (with any violations counted on standard error),
1 refused, or a violation with --strict, 2 a usage error.

Examples:
  kelmora-cli import-image walk.png walk.kmd --columns 4
  kelmora-cli import-image ship.png ship.kmd --background 0 --overlay --report ship.json
)";

const char* const kGifHelp = R"(Usage: kelmora-cli gif [OPTIONS] IN OUT

Writes an animated GIF of the sprites of IN to OUT: one frame a sprite, drawn as
the editor's browser shows it (an overlay pair is one frame), 24 x 21 pixels
times the scale, on a palette of the 16 colours. A delay is counted in ticks of
1/50 s (a GIF shows it as 2/100 s each).

Options:
  --range A-B        the frames: sprites A to B (default all sprites), the
                     second sprite of an overlay pair left out
  --delay TICKS      how long each frame of the range shows, 1..255 (default 4)
  --sequence NAME    the frames and delays of the sequence NAME kept in the
                     project's side file IN.json (IN must be a project)
  --object NAME      every frame shows the object NAME of the side file IN.json
                     as one picture, its sprites moved to start at the frame's
                     sprite; a range then steps by the sprites the object spans
                     (without --range or --sequence: the object alone). A
                     sequence frame may name an object itself:
                     {"object": "boss", "delay": 8}. Every frame takes the
                     size of the largest, a smaller one on the background
  --mode MODE        loop (the default for a range), pingpong (forwards, then
                     back without showing the turning frames twice) or once;
                     for a sequence, instead of its own mode
  --scale N          each pixel N x N, 1..8 (default 2)
  --palette NAME     the palette: the built-in "Vantor" (the default) or one of
                     the palettes in palettes.pal
  --palette-file F   read the palettes from F instead
  --strip FILE       also write the same frames side by side as a PNG picture
  --from FORMAT      read IN as project, raw, prg, seuck or auto
  --attr LAYOUT      attribute bytes in IN: native, seuck or ignore
  -f, --force        replace OUT (and the strip) when they exist
  -h, --help         this text

Looping and ping-pong GIFs play for ever, "once" plays once and stops on the
last frame.

Examples:
  kelmora-cli gif walker.kmd walk.gif --sequence walk --scale 4
  kelmora-cli gif ship.kmd turn.gif --range 0-15 --delay 2 --mode pingpong
  kelmora-cli gif robot.kmd blink.gif --sequence blink --scale 3
)";

} // namespace

std::string HelpText(Command command)
{
    switch (command)
    {
    case Command::Info:
        return kInfoHelp;
    case Command::Convert:
        return kConvertHelp;
    case Command::Listing:
        return kListingHelp;
    case Command::Rip:
        return kRipHelp;
    case Command::Sheet:
        return kSheetHelp;
    case Command::ImportListing:
        return kImportListingHelp;
    case Command::ImportImage:
        return kImportImageHelp;
    case Command::Gif:
        return kGifHelp;
    case Command::None:
        break;
    }
    return kToolHelp;
}

std::string VersionText()
{
    return std::string(kProgramName) + " " + kVersion + "\n";
}

} // namespace kelmora::cli
