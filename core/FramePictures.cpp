// Animation frames as pictures.
#include "core/FramePictures.h"

#include <algorithm>
#include <cstring>

#include "core/Render.h"
#include "core/Sprite.h"

namespace kelmora
{

namespace
{

// The renderer's colour table turned into the identity: each pixel comes out as the
// colour number itself.
constexpr std::uint32_t kColourNumbers[kPaletteColours] = {0, 1, 2,  3,  4,  5,  6,  7,
                                                           8, 9, 10, 11, 12, 13, 14, 15};

bool Drawable(const SpriteBank& bank, int scale)
{
    return bank.sprites != nullptr && scale >= 1 && scale <= kMaxFrameScale;
}

RenderColours ColourNumbers(const SpriteBank& bank)
{
    return {{bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
            kColourNumbers,
            kColourNumbers};
}

// The object a frame names, or null when it shows a slot or names no sound object.
const SpriteObject* FrameObject(const ShownFrame& frame, const std::vector<SpriteObject>& objects)
{
    const SpriteObject* object = FindObject(objects, frame.object);
    return object != nullptr && ObjectProblem(*object).empty() ? object : nullptr;
}

// Copies width x height colour numbers into picture at column left, every pixel
// scale x scale.
void CopyScaled(const std::uint32_t* source, int width, int height, int scale, FramePicture& picture,
                int left)
{
    for (int y = 0; y < height; ++y)
    {
        u8* row = picture.colours.data() + static_cast<std::size_t>(y) * scale * picture.width + left;
        const std::uint32_t* from = source + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            std::memset(row + static_cast<std::ptrdiff_t>(x) * scale, static_cast<int>(from[x]),
                        static_cast<std::size_t>(scale));
        for (int k = 1; k < scale; ++k)
            std::memcpy(row + static_cast<std::size_t>(k) * picture.width, row,
                        static_cast<std::size_t>(width) * scale);
    }
}

// Draws one frame into picture at column left: the slot's sprite with its overlay
// partner, or the object. The caller has checked that it can be drawn.
void DrawFrame(const SpriteBank& bank, const ShownFrame& frame, const SpriteObject* object, int scale,
               FramePicture& picture, int left)
{
    const RenderColours colours = ColourNumbers(bank);
    const std::uint32_t background = bank.colourTransp & kAttrColourMask;
    if (object != nullptr)
    {
        const int width = ObjectPictureWidth(*object), height = ObjectPictureHeight(*object);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, background);
        RenderObjectPixels(bank, *object, colours, 0, pixels.data(), width);
        CopyScaled(pixels.data(), width, height, scale, picture, left);
        return;
    }
    std::uint32_t cell[kSpriteWidth * kSpriteHeight];
    for (std::uint32_t& pixel : cell)
        pixel = background;
    RenderSpritePixels(bank.sprites, frame.slot, bank.spriteCount, colours, 0, cell, kSpriteWidth);
    if (IsOverlay(bank.sprites, frame.slot) == 1 && frame.slot < kSlotCount - 1)
        RenderSpritePixels(bank.sprites, frame.slot + 1, bank.spriteCount, colours, kRenderOverlay, cell,
                           kSpriteWidth);
    CopyScaled(cell, kSpriteWidth, kSpriteHeight, scale, picture, left);
}

// A picture of width x height filled with the background.
FramePicture Blank(const SpriteBank& bank, std::size_t width, std::size_t height)
{
    FramePicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.colours.assign(width * height, static_cast<u8>(bank.colourTransp & kAttrColourMask));
    return picture;
}

} // namespace

FramePicture RenderFramePicture(const SpriteBank& bank, int slot, int scale)
{
    return RenderFrameStrip(bank, {{slot, kDefaultFrameDelay}}, scale);
}

FramePicture RenderFrameStrip(const SpriteBank& bank, const std::vector<ShownFrame>& frames, int scale)
{
    return RenderFrameStrip(bank, frames, {}, scale);
}

FramePicture RenderObjectPicture(const SpriteBank& bank, const SpriteObject& object, int scale)
{
    ShownFrame frame{0, kDefaultFrameDelay, object.name};
    return RenderFrameStrip(bank, {frame}, {object}, scale);
}

FrameSize FrameCanvasSize(const std::vector<ShownFrame>& frames, const std::vector<SpriteObject>& objects)
{
    FrameSize size;
    for (const ShownFrame& frame : frames)
    {
        int width = kSpriteWidth, height = kSpriteHeight;
        if (!frame.object.empty())
        {
            const SpriteObject* object = FrameObject(frame, objects);
            if (object == nullptr) return {};
            width = ObjectPictureWidth(*object);
            height = ObjectPictureHeight(*object);
        }
        else if (!ValidSlot(frame.slot))
            return {};
        size.width = std::max(size.width, width);
        size.height = std::max(size.height, height);
    }
    return size;
}

FramePicture RenderShownFrame(const SpriteBank& bank, const ShownFrame& frame,
                              const std::vector<SpriteObject>& objects, FrameSize canvas, int scale)
{
    const FrameSize own = FrameCanvasSize({frame}, objects);
    if (!Drawable(bank, scale) || own.width == 0 || own.width > canvas.width || own.height > canvas.height)
        return {};
    FramePicture picture = Blank(bank, static_cast<std::size_t>(canvas.width) * scale,
                                 static_cast<std::size_t>(canvas.height) * scale);
    DrawFrame(bank, frame, FrameObject(frame, objects), scale, picture, 0);
    return picture;
}

FramePicture RenderFrameStrip(const SpriteBank& bank, const std::vector<ShownFrame>& frames,
                              const std::vector<SpriteObject>& objects, int scale)
{
    if (frames.empty() || frames.size() > static_cast<std::size_t>(kMaxStripFrames) || !Drawable(bank, scale))
        return {};
    const FrameSize canvas = FrameCanvasSize(frames, objects);
    if (canvas.width == 0) return {};
    const std::size_t frameWidth = static_cast<std::size_t>(canvas.width) * scale;
    const std::size_t height = static_cast<std::size_t>(canvas.height) * scale;
    if (frameWidth * frames.size() * height > kMaxStripPixels) return {};
    FramePicture picture = Blank(bank, frameWidth * frames.size(), height);
    for (std::size_t k = 0; k < frames.size(); ++k)
        DrawFrame(bank, frames[k], FrameObject(frames[k], objects), scale, picture,
                  static_cast<int>(k * frameWidth));
    return picture;
}

std::vector<std::uint32_t> PictureToRgb(const FramePicture& picture,
                                        const std::uint32_t palette[kPaletteColours])
{
    std::vector<std::uint32_t> pixels(picture.colours.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = palette[picture.colours[i] & kAttrColourMask];
    return pixels;
}

} // namespace kelmora
