// kelmora-cli's --object.
#include "cli/Objects.h"

#include <ostream>

#include "cli/Outputs.h"
#include "cli/Run.h"

namespace kelmora::cli
{

int ReadSideFile(const std::string& project, const char* kind, kelmora::ProjectExtras& extras,
                 std::ostream& err)
{
    std::string message;
    const std::string side = kelmora::ExtrasPathFor(project);
    switch (kelmora::ReadProjectExtras(project, extras, message))
    {
    case kelmora::ExtrasReadStatus::Missing:
        return Refuse(err, project, "has no side file " + side + ", so it holds no " + kind);
    case kelmora::ExtrasReadStatus::Refused:
        return Refuse(err, side, message);
    case kelmora::ExtrasReadStatus::Read:
        break;
    }
    return kExitOk;
}

int FindNamedObject(const Options& o, const kelmora::ProjectExtras& extras,
                    const kelmora::SpriteObject*& found, std::ostream& err)
{
    found = kelmora::FindObject(extras.objects, o.object);
    if (found != nullptr) return kExitOk;
    std::string names;
    for (const kelmora::SpriteObject& object : extras.objects)
        names += (names.empty() ? "" : ", ") + JsonString(object.name);
    return Refuse(err, kelmora::ExtrasPathFor(o.files[0]),
                  "holds no object named " + JsonString(o.object) +
                      (names.empty() ? std::string(" (it holds none)") : " (it holds " + names + ")"));
}

int ObjectFrames(const Options& o, const LoadedBank& input, const kelmora::SpriteObject& object, int first,
                 int last, std::vector<kelmora::SpriteObject>& frames, std::ostream& err)
{
    frames = {object};
    if (o.range.given)
    {
        frames = kelmora::ObjectFramesInRange(object, first, last);
        const int span = kelmora::ObjectSlotSpan(object);
        if (frames.empty())
            return Refuse(err, o.files[0],
                          "sprites " + std::to_string(first) + "-" + std::to_string(last) +
                              " hold no whole frame of object " + JsonString(object.name) +
                              " (a frame takes " + std::to_string(span) +
                              (span == 1 ? " sprite)" : " sprites)"));
    }
    for (const kelmora::SpriteObject& frame : frames)
    {
        const std::string problem = kelmora::ObjectUseProblem(frame, input.bank.spriteCount);
        if (!problem.empty()) return Refuse(err, o.files[0], problem);
    }
    return kExitOk;
}

std::string FrameObjectName(const std::vector<kelmora::SpriteObject>& objects, int frame)
{
    std::string name = "frame " + std::to_string(frame);
    while (kelmora::FindObject(objects, name) != nullptr)
        name += "'";
    return name;
}

} // namespace kelmora::cli
