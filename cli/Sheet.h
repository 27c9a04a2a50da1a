// The palettes kelmora-cli draws sheets with and matches pictures against: where
// palettes.pal is found, and a palette chosen by name.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "core/Palette.h"

namespace kelmora::cli
{

// Where palettes.pal is looked for, in order: beside the program, then the user's
// and the system's data folders (XDG_DATA_HOME, XDG_DATA_DIRS) under "kelmora".
std::vector<std::string> PaletteFileCandidates(const std::string& programDir);
// The first candidate that is a regular file, or "".
std::string FindPaletteFile(const std::string& programDir);

// Picks name among the built-in palette and the loaded ones: an exact match first,
// then one that differs only in case. False when there is none.
bool ChoosePalette(const std::string& name, const std::vector<kelmora::NamedPalette>& loaded,
                   kelmora::NamedPalette& chosen);

// The index of the palette called name (exactly, or else ignoring case); -1 when none is.
int PaletteIndex(const std::string& name, const std::vector<kelmora::NamedPalette>& palettes);

// The built-in palette followed by the loaded ones: every palette known.
std::vector<kelmora::NamedPalette> KnownPalettes(const std::vector<kelmora::NamedPalette>& loaded);

// The palettes of paletteFile, or when that is empty of the palettes.pal found from
// programDir (none when there is none or it cannot be read). False, with reason set,
// when a given paletteFile cannot be read or holds no complete palette; file is the
// file read ("" when none), notes what it held that was not taken.
bool LoadPalettes(const std::string& paletteFile, const std::string& programDir,
                  std::vector<kelmora::NamedPalette>& loaded, std::string& file, std::string& reason,
                  kelmora::PaletteReadNotes& notes);

// The palette sheet and gif draw with: --palette among the built-in one and those of
// --palette-file or the palettes.pal found from programDir; without --palette the
// built-in one, or the first of --palette-file. Skipped palettes are warned about.
// Returns 0 with chosen set, or the exit status after a message on err.
int OutputPalette(const Options& o, const std::string& programDir, kelmora::NamedPalette& chosen,
                  std::ostream& err);

} // namespace kelmora::cli
