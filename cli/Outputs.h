// What kelmora-cli's commands share to report and to write: refusals, warnings and
// usage errors on standard error, and every output of a command as one transaction.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "core/OutputFiles.h"

namespace kelmora::cli
{

// "kelmora-cli: FILE: reason"; returns the exit status for a refusal.
int Refuse(std::ostream& err, const std::string& file, const std::string& reason);
// "kelmora-cli: warning: FILE: text".
void Warn(std::ostream& err, const std::string& file, const std::string& text);
// The message and a pointer to the command's help; returns the exit status for a usage error.
int UsageError(std::ostream& err, Command command, const std::string& message);

// An output naming bytes that must live until it is written.
kelmora::OutputFile Output(const std::string& path, const void* data, std::size_t size);
inline kelmora::OutputFile Output(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return Output(path, bytes.data(), bytes.size());
}
// Writes the outputs of one command: every file replaced, or none; without --force an
// existing file is never replaced. Returns the exit status, after naming the file that
// failed on err.
int WriteOut(const Options& o, const std::vector<kelmora::OutputFile>& files, std::ostream& err);

} // namespace kelmora::cli
