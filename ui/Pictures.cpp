// Pictures in and out of the editor.
#include "ui/Pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>

#include <algorithm>
#include <cstring>

#include "core/FileIO.h"
#include "core/Sheet.h"

using namespace kelmora;

namespace
{

// What the editor decodes at most: the file, the frames of an animation and their pixels.
constexpr std::uint64_t kMaxPictureFileBytes = 256ull << 20;
constexpr int kMaxFrames = 1024;
constexpr long long kMaxTotalPixels = 1LL << 28;

} // namespace

RgbaImage ToRgbaImage(const QImage& image)
{
    RgbaImage picture;
    if (image.isNull()) return picture;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return picture;
    picture.width = argb.width();
    picture.height = argb.height();
    const std::size_t width = static_cast<std::size_t>(picture.width);
    picture.pixels.resize(width * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * width, argb.constScanLine(y),
                    width * sizeof(std::uint32_t));
    return picture;
}

QImage ToQImage(const RgbaImage& image)
{
    if (!ValidImage(image)) return {};
    QImage out(image.width, image.height, QImage::Format_RGB32);
    if (out.isNull()) return {};
    const std::size_t width = static_cast<std::size_t>(image.width);
    for (int y = 0; y < image.height; ++y)
    {
        const std::uint32_t* from = image.pixels.data() + static_cast<std::size_t>(y) * width;
        auto* to = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (std::size_t x = 0; x < width; ++x)
            to[x] = from[x] | kOpaqueAlpha;
    }
    return out;
}

bool IsPictureFileName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("gif") || suffix == QLatin1String("bmp");
}

bool ReadPictureFile(const QString& path, std::vector<RgbaImage>& frames, QString& reason)
{
    std::vector<std::uint8_t> bytes;
    FileResult why;
    if (ReadWholeFile(path.toUtf8().constData(), kMaxPictureFileBytes, bytes, &why) != ReadStatus::Ok)
    {
        reason = why.error == FileError::TooLarge ? QStringLiteral("the file is larger than the 256 MiB a "
                                                                   "picture may be")
                                                  : QString::fromStdString(FileErrorText(why));
        return false;
    }

    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())));
    if (!buffer.open(QIODevice::ReadOnly))
    {
        reason = QStringLiteral("the file could not be read");
        return false;
    }
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (!reader.canRead())
    {
        reason = QStringLiteral("it is not a picture Kelmora can read (PNG, GIF or BMP)");
        return false;
    }
    std::vector<RgbaImage> decoded;
    long long total = 0;
    QImage image;
    while (static_cast<int>(decoded.size()) < kMaxFrames && reader.read(&image))
    {
        total += static_cast<long long>(image.width()) * image.height();
        if (total > kMaxTotalPixels)
        {
            reason = QStringLiteral("it holds more pixels than Kelmora decodes (2^28)");
            return false;
        }
        RgbaImage frame = ToRgbaImage(image);
        if (!ValidImage(frame))
        {
            reason = QStringLiteral("it is too large to decode");
            return false;
        }
        decoded.push_back(std::move(frame));
        if (!reader.supportsAnimation() && reader.imageCount() <= static_cast<int>(decoded.size())) break;
    }
    if (decoded.empty())
    {
        reason = QStringLiteral("it could not be decoded: ") + reader.errorString();
        return false;
    }
    frames = std::move(decoded);
    return true;
}

QImage SelectionSheet(const SpriteBank& bank, int columns, int scale, const std::uint32_t* colours)
{
    if (!colours || bank.spriteCount < 1) return {};
    const int lastInUse = std::min(bank.spriteCount, kSlotCount) - 1;
    const int first = std::clamp(bank.rangeStart, 0, lastInUse);
    const int last = std::clamp(bank.rangeEnd, first, lastInUse);
    std::uint32_t rgb[kPaletteColours];
    for (int c = 0; c < kPaletteColours; ++c)
        rgb[c] = colours[c] & 0xFFFFFFu;
    return ToQImage(RenderSheet(bank, first, last, columns, scale, rgb));
}
