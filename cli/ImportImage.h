// kelmora-cli import-image: a picture (PNG, GIF, BMP; every frame of an animated GIF)
// made into sprites by the store's picture solver and written as a sprite file.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/Args.h"
#include "core/ImageImport.h"

namespace kelmora::cli
{

// Runs the command of o (files[0] the picture, files[1] the sprite file). palettesDir
// is where palettes.pal is looked for first. Exit 0 imported (violations counted on
// err), 1 refused or a --strict violation, 2 an unknown --palette name.
int ImportImageCommand(const Options& o, const std::string& programDir, std::ostream& err);

// The JSON report of an import: the picture, palette, shared colours and every cell
// with its mode, colours and violations.
std::string ImportReportJson(const std::string& picture, const std::vector<kelmora::RgbaImage>& frames,
                             const std::string& paletteName, const kelmora::ImageImportResult& result);

} // namespace kelmora::cli
