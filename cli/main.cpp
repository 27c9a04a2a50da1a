// kelmora-cli: the sprite files of the editor, headless.
#include <iostream>

#include "cli/Run.h"

int main(int argc, char** argv)
{
    return kelmora::cli::Run(argc, argv, std::cout, std::cerr);
}
