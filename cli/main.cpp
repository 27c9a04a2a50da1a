// kelmora-cli: the sprite files of the editor, headless.
#include "cli/Run.h"

int main(int argc, char** argv)
{
    return kelmora::cli::RunMain(argc, argv);
}
