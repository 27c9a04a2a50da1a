// kelmora-cli's --object: the objects of a project's side file, and the frames sheet and
// gif draw of one object.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Files.h"
#include "core/ProjectExtras.h"

namespace kelmora::cli
{

// Reads the side file of the project at project into extras; kind names what the command
// looks for there ("sequences", "objects"). Returns 0, or the exit status after a message
// on err when there is no side file or it cannot be used.
int ReadSideFile(const std::string& project, const char* kind, kelmora::ProjectExtras& extras,
                 std::ostream& err);

// The object --object names among the side file's objects. Returns 0 with found set, or
// the exit status after a message naming the objects there are.
int FindNamedObject(const Options& o, const kelmora::ProjectExtras& extras,
                    const kelmora::SpriteObject*& found, std::ostream& err);

// The frames drawn of object: the object itself, or with --range the object placed at
// first, first + its span, ... within first..last (an animated object keeps its frames in
// runs of slots). Returns 0, or the exit status after a message when the range holds no
// whole frame or a frame uses a sprite that is not in use.
int ObjectFrames(const Options& o, const LoadedBank& input, const kelmora::SpriteObject& object, int first,
                 int last, std::vector<kelmora::SpriteObject>& frames, std::ostream& err);

// A name for a frame's own copy of an object (placed at another slot) that no object of
// objects has, so frames can name it.
std::string FrameObjectName(const std::vector<kelmora::SpriteObject>& objects, int frame);

} // namespace kelmora::cli
