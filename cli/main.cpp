// kelmora-cli: the sprite files of the editor, headless.
#include "cli/Run.h"

#ifdef _WIN32
#include <string>
#include <vector>
#include <windows.h>

// Windows hands main() its arguments in the ANSI code page, which cannot hold most
// file names; the wide arguments are turned into the UTF-8 the rest of the tool uses.
int wmain(int argc, wchar_t** wideArgv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
    {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wideArgv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(bytes > 0 ? static_cast<std::size_t>(bytes) : 1, '\0');
        if (bytes > 0)
            WideCharToMultiByte(CP_UTF8, 0, wideArgv[i], -1, argument.data(), bytes, nullptr, nullptr);
        argument.resize(argument.size() - 1); // the terminating zero
        arguments.push_back(std::move(argument));
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // File names in messages are UTF-8 too.
    SetConsoleOutputCP(CP_UTF8);
    return kelmora::cli::RunMain(argc, argv.data());
}
#else
int main(int argc, char** argv)
{
    return kelmora::cli::RunMain(argc, argv);
}
#endif
