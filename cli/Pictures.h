// Picture files in and out of kelmora-cli: PNG, GIF and BMP decoded (every frame of an
// animated GIF), PNG encoded. They need Qt GUI's image codecs; a build without them
// has these functions too, and they refuse with kNoPictureSupport.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/RgbaImage.h"

namespace kelmora::cli
{

extern const char* const kNoPictureSupport; // "kelmora-cli was built without picture support"

// True when this build can read and write pictures.
bool PictureSupport();

// Decodes the picture held in bytes: one frame, or each frame of an animation in
// order, as 0xAARRGGBB pixels. On refusal returns false with reason set and frames
// unchanged.
bool DecodePicture(const std::vector<std::uint8_t>& bytes, std::vector<kelmora::RgbaImage>& frames,
                   std::string& reason);
// The same for the file at path.
bool ReadPicture(const std::string& path, std::vector<kelmora::RgbaImage>& frames, std::string& reason);

// The picture as a PNG file of 8-bit RGB (the alpha channel is not written). False
// for an empty picture or without picture support.
bool EncodePng(const kelmora::RgbaImage& image, std::vector<std::uint8_t>& png);

} // namespace kelmora::cli
