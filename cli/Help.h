// The texts of --help and --version.
#pragma once

#include <string>

#include "cli/Args.h"

namespace kelmora::cli
{

// The tool's help for Command::None, otherwise the command's own.
std::string HelpText(Command command);
std::string VersionText();

} // namespace kelmora::cli
