// Pictures through Qt GUI's image readers and writers. QImage, QImageReader and
// QImageWriter need no application object and no display.
#include "cli/Pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <cstring>

#include "cli/Files.h"
#include "core/FileIO.h"

namespace kelmora::cli
{

namespace
{

constexpr std::uint64_t kMaxPictureFileBytes = 256ull << 20;
constexpr int kMaxFrames = 1024;
constexpr long long kMaxTotalPixels = 1LL << 28;

} // namespace

const char* const kNoPictureSupport = "kelmora-cli was built without picture support";

bool PictureSupport()
{
    return true;
}

bool DecodePicture(const std::vector<std::uint8_t>& bytes, std::vector<kelmora::RgbaImage>& frames,
                   std::string& reason)
{
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
    {
        reason = "could not be read";
        return false;
    }
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (!reader.canRead())
    {
        reason = "is not a picture kelmora-cli can read (PNG, GIF or BMP)";
        return false;
    }

    std::vector<kelmora::RgbaImage> decoded;
    long long total = 0;
    QImage image;
    while (static_cast<int>(decoded.size()) < kMaxFrames && reader.read(&image))
    {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        if (argb.isNull())
        {
            reason = "is too large to decode";
            return false;
        }
        total += static_cast<long long>(argb.width()) * argb.height();
        if (total > kMaxTotalPixels)
        {
            reason = "holds more pixels than kelmora-cli decodes (2^28)";
            return false;
        }
        kelmora::RgbaImage frame;
        frame.width = argb.width();
        frame.height = argb.height();
        frame.pixels.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
        for (int y = 0; y < frame.height; ++y)
            std::memcpy(frame.pixels.data() +
                            static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width),
                        argb.constScanLine(y), sizeof(std::uint32_t) * static_cast<std::size_t>(frame.width));
        decoded.push_back(std::move(frame));
        if (!reader.supportsAnimation() && reader.imageCount() <= static_cast<int>(decoded.size())) break;
    }
    if (decoded.empty())
    {
        reason = "could not be decoded: " + reader.errorString().toStdString();
        return false;
    }
    frames = std::move(decoded);
    return true;
}

bool ReadPicture(const std::string& path, std::vector<kelmora::RgbaImage>& frames, std::string& reason)
{
    std::vector<std::uint8_t> bytes;
    kelmora::FileResult why;
    switch (kelmora::ReadWholeFile(path.c_str(), kMaxPictureFileBytes, bytes, &why))
    {
    case kelmora::ReadStatus::Ok:
        break;
    case kelmora::ReadStatus::CannotOpen:
        reason = ReadFailureText(why);
        return false;
    case kelmora::ReadStatus::TooLarge:
        reason = "is larger than the 256 MiB a picture may be";
        return false;
    case kelmora::ReadStatus::ReadError:
        reason = "could not be read to its end (it changed while it was read, or the disk failed)";
        return false;
    }
    return DecodePicture(bytes, frames, reason);
}

bool EncodePng(const kelmora::RgbaImage& image, std::vector<std::uint8_t>& png)
{
    if (!kelmora::ValidImage(image)) return false;
    QImage picture(image.width, image.height, QImage::Format_RGB32);
    if (picture.isNull()) return false;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(picture.scanLine(y),
                    image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width),
                    sizeof(std::uint32_t) * static_cast<std::size_t>(image.width));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture)) return false;
    png.assign(bytes.constBegin(), bytes.constEnd());
    return true;
}

} // namespace kelmora::cli
