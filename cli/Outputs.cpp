// What kelmora-cli's commands share to report and to write.
#include "cli/Outputs.h"

#include <ostream>

#include "cli/Files.h"
#include "cli/Run.h"
#include "cli/Text.h"

namespace kelmora::cli
{

int Refuse(std::ostream& err, const std::string& file, const std::string& reason)
{
    err << kProgramName << ": " << Shown(file) << ": " << reason << "\n";
    return kExitRefused;
}

void Warn(std::ostream& err, const std::string& file, const std::string& text)
{
    err << kProgramName << ": warning: " << Shown(file) << ": " << text << "\n";
}

int UsageError(std::ostream& err, Command command, const std::string& message)
{
    err << kProgramName << ": " << message << "\n";
    err << "Try '" << kProgramName
        << (command == Command::None ? "" : std::string(" ") + CommandName(command))
        << " --help' for more information.\n";
    return kExitUsage;
}

kelmora::OutputFile Output(const std::string& path, const void* data, std::size_t size)
{
    kelmora::OutputFile file;
    file.path = path;
    file.data = data;
    file.size = size;
    return file;
}

int WriteOut(const Options& o, const std::vector<kelmora::OutputFile>& files, std::ostream& err)
{
    std::string failedPath, reason;
    if (WriteOutputs(files, o.force, failedPath, reason)) return kExitOk;
    return Refuse(err, failedPath, reason);
}

} // namespace kelmora::cli
