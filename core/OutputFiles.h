// Output transactions: one or more files replaced together, or none of them.
//
// How a target is treated:
//  - A regular file is replaced atomically: a temporary file beside it, created with the
//    target's permission bits (and, for root, its owner and group), gets every byte and
//    is synced before it is renamed over the target; the folder is synced afterwards.
//  - A regular file that the user may not write (its permission bits say so; for root:
//    no write bit at all) is refused with "Permission denied", never replaced.
//  - A file with more than one hard link is written in place, so every link sees the new
//    contents; so is a writable file in a folder where no temporary file can be created.
//  - A symbolic link is followed, a dangling one to create the file it names.
//  - A device or a pipe is written directly (a pipe without a reader fails at once).
//  - A folder is refused.
// Without replacing (noClobber) nothing that stands at a target (a dangling link included)
// is ever replaced, not even a file that appears while the new one is being written.
//
// On Windows the same rules hold with the system's own means: a file is write-protected by
// its read-only attribute or by access rules that refuse writing it; the temporary file
// takes the target's hidden and system attributes (owners and permission bits do not
// apply); each rename is written through to the disk (MoveFileEx with
// MOVEFILE_WRITE_THROUGH, and without MOVEFILE_REPLACE_EXISTING for noClobber), so there is
// no folder to sync; devices such as NUL are written directly; and a dangling link is
// refused as not found, since where it leads cannot be read without following it.
#pragma once

#include "core/FileResult.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kelmora
{

struct OutputFile
{
    std::string path;           // UTF-8
    const void* data = nullptr; // size bytes, owned by the caller
    std::size_t size = 0;
};

// Writes every file, then puts them all in place; when any step fails, every target is
// left (or put back) as it was, no temporary file remains, *why tells the reason and
// *failedFile (when not null) the index of the file it concerns. With noClobber a target
// that exists is refused with FileError::Exists. True when every file was written.
bool WriteFilesTogether(const std::vector<OutputFile>& files, bool noClobber, FileResult* why,
                        std::size_t* failedFile = nullptr);

} // namespace kelmora
