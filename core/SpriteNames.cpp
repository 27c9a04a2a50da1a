// Sprite names kept in a project's extras.
#include "core/SpriteNames.h"

#include "core/Types.h"

namespace kelmora
{

std::vector<std::string> SpriteNameTable(const ProjectExtras& extras)
{
    std::vector<std::string> table(kSlotCount);
    for (const auto& [slot, name] : extras.names)
        if (slot >= 0 && slot < kSlotCount) table[static_cast<std::size_t>(slot)] = name;
    return table;
}

std::string SetSpriteName(ProjectExtras& extras, int slot, const std::string& name)
{
    if (slot < 0 || slot >= kSlotCount) return "is not for a slot 0..255";
    if (name.empty())
    {
        extras.names.erase(slot);
        return {};
    }
    std::string problem = SpriteNameProblem(name);
    if (problem.empty()) extras.names[slot] = name;
    return problem;
}

int ReplaceSpriteNames(ProjectExtras& extras, int first, const std::vector<std::string>& names)
{
    int taken = 0;
    for (std::size_t i = 0; i < names.size(); ++i)
    {
        const long long slot = static_cast<long long>(first) + static_cast<long long>(i);
        if (slot < 0) continue;
        if (slot >= kSlotCount) break;
        const int s = static_cast<int>(slot);
        if (!names[i].empty() && SpriteNameProblem(names[i]).empty())
        {
            extras.names[s] = names[i];
            ++taken;
        }
        else
            extras.names.erase(s);
    }
    return taken;
}

} // namespace kelmora
