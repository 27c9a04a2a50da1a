// The files one command writes together.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kelmora::cli
{

struct PendingOutput
{
    std::string path;
    std::vector<std::uint8_t> bytes;
};

// Writes every file of one command: the GIF and its strip, a project's side file.
// Returns 0, or 1 after naming the file that could not be written on err.
//
// This is the single place through which such groups are written, so that they become
// one transaction of the file layer (every file replaced, or none) in one step: until
// then the files are replaced one after another, each atomically, stopping at the first
// that fails. The outputs were checked for --force before anything was written.
int WriteOutputs(const std::vector<PendingOutput>& files, std::ostream& err);

} // namespace kelmora::cli
