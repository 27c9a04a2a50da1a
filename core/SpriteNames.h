// Sprite names kept in a project's extras: the table a listing takes its labels from,
// naming one slot, and the names a listing read back brings with its sprites.
#pragma once

#include <string>
#include <vector>

#include "core/ProjectExtras.h"

namespace kelmora
{

// The name of every slot 0..255, "" where a slot has none (FormatListing's names).
std::vector<std::string> SpriteNameTable(const ProjectExtras& extras);

// Gives slot (0..255) the name, or removes its name when name is empty. Returns "" when
// done, else why not (SpriteNameProblem's words, or that the slot is not 0..255); then
// extras is unchanged.
std::string SetSpriteName(ProjectExtras& extras, int slot, const std::string& name);

// Sprites that came into slots first, first + 1, ... take names[0], names[1], ...: a slot
// gets its name, or loses the one it had when the name is empty or cannot be kept (its
// old name belonged to the sprite now replaced). Slots past 255 are passed over. Returns
// how many names were taken.
int ReplaceSpriteNames(ProjectExtras& extras, int first, const std::vector<std::string>& names);

} // namespace kelmora
