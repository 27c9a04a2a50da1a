// Export GIF... of the Sequences window and the animator: where to write the picture and
// at which scale, then the picture written as every file of the editor is written.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

// Asks for a file (proposing proposedName in the folder last used) and a scale of 1 to 8,
// then writes the bytes encode makes at that scale. A refusal of encode (no bytes) or a
// failed write is reported with its reason. Returns the path written, or an empty string
// when the user cancelled or nothing was written.
QString ExportGif(QWidget* parent, const QString& proposedName,
                  const std::function<std::vector<std::uint8_t>(int scale)>& encode);
