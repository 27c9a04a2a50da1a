// Pictures in a build without Qt GUI: every picture function refuses.
#include "cli/Pictures.h"

namespace kelmora::cli
{

const char* const kNoPictureSupport = "kelmora-cli was built without picture support";

bool PictureSupport()
{
    return false;
}

bool DecodePicture(const std::vector<std::uint8_t>&, std::vector<kelmora::RgbaImage>&, std::string& reason)
{
    reason = kNoPictureSupport;
    return false;
}

bool ReadPicture(const std::string&, std::vector<kelmora::RgbaImage>&, std::string& reason)
{
    reason = kNoPictureSupport;
    return false;
}

bool EncodePng(const kelmora::RgbaImage&, std::vector<std::uint8_t>&)
{
    return false;
}

} // namespace kelmora::cli
