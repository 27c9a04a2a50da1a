// Pictures to sprites: a picture (or the frames of an animation) is cut into cells of
// 24 x 21 sprite pixels, each a square of picture pixels, and every cell becomes a
// sprite: the C64 palette that matches the picture best, the shared colours that let
// the most cells be shown exactly, a mode per cell and, where a cell needs it, an
// overlay pair. Every pixel that cannot be shown is still imported, in the nearest
// colour the sprite may use, and reported with its place in the picture.
//
// The solver keeps no state between calls and touches nothing but its arguments, so
// a window may run it on every change of a setting.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Palette.h"
#include "core/RgbaImage.h"
#include "core/Types.h"

namespace kelmora
{

enum class ImportMode
{
    Auto,        // multicolour when every horizontal pixel pair of the cell is one colour
    Hires,       // every cell hires
    Multicolour, // every cell multicolour
};

struct ImageImportSettings
{
    int scale = 0;                      // picture pixels a sprite pixel is wide and high; 0: detected
    int offsetX = 0, offsetY = 0;       // where the first cell starts in the picture
    int gapX = 0, gapY = 0;             // picture pixels between two cells
    int columns = 0;                    // cells a row at most; 0: as many as the width holds
    int count = 0;                      // cells at most, frame after frame; 0: every cell
    int palette = -1;                   // index into the palettes given; -1: the one that fits best
    ImportMode mode = ImportMode::Auto; //
    int background = -1;                // colours 0..15; -1: chosen from the picture
    int multi1 = -1;                    //
    int multi2 = -1;                    //
    bool overlay = false;               // show a cell one sprite cannot show as an overlay pair
    int maxSprites = kSlotCount;        // sprite slots there is room for, 1..256
};

enum class ImportStatus
{
    Ok,
    NoPicture,   // no frame, or a frame without a size or with the wrong number of pixels
    BadSettings, // a setting outside its range, or no palettes
    NoCells,     // not one whole cell fits the picture with these settings
};

enum class ViolationKind
{
    ExtraColour, // a colour the sprite cannot show: its mode allows no more colours
    SplitPair,   // a multicolour pixel pair of two colours: the pair takes one of them
    MixedBlock,  // the square of picture pixels of one sprite pixel is not one colour
};

struct ImportViolation
{
    ViolationKind kind = ViolationKind::ExtraColour;
    int x = 0, y = 0; // the top-left picture pixel of the sprite pixel, in the cell's frame
};

// Flags of ImportedCell::ambiguous: what the picture cannot tell.
enum ImportAmbiguity : unsigned
{
    kAmbiguousMode = 1,   // the sprite would look the same in the other mode
    kAmbiguousColour = 2, // the sprite's own colour shows nowhere, so it is a guess
};

struct ImportedCell
{
    int frame = 0;            // which picture of the list
    int x = 0, y = 0;         // the cell's top-left corner in it
    int slot = -1;            // the sprite's place in the result; -1: no room was left
    bool blank = false;       // nothing but background: a cleared sprite (attribute 133)
    bool multicolour = false; // the sprite's mode
    int colour = 0;           // the sprite's own colour
    bool overlay = false;     // slot + 1 holds a hires sprite of overlayColour drawn on top
    int overlayColour = 0;    //
    bool partOfPair = false;  // this cell showed the top sprite of the cell before it, which
                              // holds it (slot is that top sprite's slot)
    unsigned ambiguous = 0;   // ImportAmbiguity flags
    std::vector<ImportViolation> violations;
};

struct ImageImportResult
{
    ImportStatus status = ImportStatus::NoPicture;
    int scale = 0;                   // the scale used
    int columns = 0;                 // the grid of the first frame
    int rows = 0;                    //
    int palette = -1;                // index of the palette used
    double meanError = 0;            // mean squared RGB distance of the picture's pixels to their colours
    int background = 0;              // the shared colours
    int multi1 = 0;                  //
    int multi2 = 0;                  //
    int spriteCount = 0;             // sprites made
    std::vector<u8> sprites;         // spriteCount x 64 bytes, in slot order
    std::vector<ImportedCell> cells; // the cells imported, in picture order
    int fillerCells = 0;             // cells after the last sprite of a sheet, in the sheet's empty-cell
                                     // colour, that were left out
    int cellsLeftOut = 0;            // cells for which no slot was left
    int violations = 0;              // violations of every cell together
};

// Cuts frames into cells and makes their sprites. palettes holds every palette known
// (the built-in one first); settings.palette picks one of them or -1 for the best fit.
ImageImportResult ImportImage(const std::vector<RgbaImage>& frames, const std::vector<NamedPalette>& palettes,
                              const ImageImportSettings& settings);
ImageImportResult ImportImage(const RgbaImage& picture, const std::vector<NamedPalette>& palettes,
                              const ImageImportSettings& settings);

// Copies the result's sprites into block from slot first on (as many as fit before
// slot 256). Returns how many were copied; 0 for a null block or first outside 0..255.
int PlaceImportedSprites(const ImageImportResult& result, u8* block, int first);

} // namespace kelmora
