// kelmora-cli's commands, run from parsed arguments.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelmora::cli
{

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1; // a file was refused or could not be written
constexpr int kExitUsage = 2;

struct RunContext
{
    std::string programDir; // where palettes.pal is looked for first; may be empty
};

// The whole tool: main() hands its arguments over and returns the result.
int Run(int argc, char** argv, std::ostream& out, std::ostream& err);
// main() itself: removes temporary files when a signal ends the tool, runs it on standard
// output and error, and makes sure everything written reached them: a failure to write
// either is exit 1, said on standard error while that can still be written.
int RunMain(int argc, char** argv);
// The same with the arguments after the program's name and an explicit context.
int Run(const std::vector<std::string>& args, const RunContext& context, std::ostream& out,
        std::ostream& err);

// The folder of the running program, from the system or from argv[0]; "" when unknown.
std::string ProgramDir(const char* argv0);

// text as a JSON string literal; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(const std::string& text);

} // namespace kelmora::cli
