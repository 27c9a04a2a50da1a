// The files one command writes together.
#include "cli/Outputs.h"

#include <ostream>

#include "cli/Args.h"
#include "cli/Files.h"
#include "cli/Run.h"

namespace kelmora::cli
{

int WriteOutputs(const std::vector<PendingOutput>& files, std::ostream& err)
{
    // TRANSACTION: replace this loop by the file layer's output transaction.
    for (const PendingOutput& file : files)
        if (!WriteBytes(file.path, file.bytes))
        {
            err << kProgramName << ": " << file.path << ": " << WriteProblem(file.path) << "\n";
            return kExitRefused;
        }
    return kExitOk;
}

} // namespace kelmora::cli
