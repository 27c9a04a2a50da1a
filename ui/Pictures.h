// Pictures in and out of the editor: files and the clipboard's pictures decoded with
// Qt's image readers into the store's RgbaImage, and sprite sheets drawn by the store
// turned into QImages to write or to copy.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

#include "core/Palette.h"
#include "core/RgbaImage.h"
#include "core/Types.h"

class QWidget;

// The picture as 0xAARRGGBB pixels, top row first (empty for a null image). The one way
// a QImage becomes a picture for the store: files, dropped files and the clipboard.
kelmora::RgbaImage ToRgbaImage(const QImage& image);

// A picture of the store as an opaque 32-bit image (alpha is dropped: sheets are opaque).
QImage ToQImage(const kelmora::RgbaImage& image);

// True for a name the editor takes as a picture when it is dropped: .png, .gif, .bmp.
bool IsPictureFileName(const QString& path);

// Reads the picture file at path: one frame, or every frame of an animated GIF in order.
// On refusal returns false with reason (the second line of a message) and frames unchanged.
bool ReadPictureFile(const QString& path, std::vector<kelmora::RgbaImage>& frames, QString& reason);

// The selected sprites (kept inside the sprites in use) drawn as the browser draws them:
// rows of columns cells, each pixel scale x scale, in colours (by colour number; the
// alpha byte is ignored). A null image when nothing can be drawn.
QImage SelectionSheet(const kelmora::SpriteBank& bank, int columns, int scale, const std::uint32_t* colours);
