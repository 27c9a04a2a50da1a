// kelmora-cli gif: an animated GIF (and a PNG strip) of a run of sprites or of a
// project's named sequence.
#pragma once

#include <iosfwd>

#include "cli/Args.h"
#include "cli/Run.h"

namespace kelmora::cli
{

// Runs `gif` with parsed options; returns the exit status.
int RunGif(const Options& o, const RunContext& context, std::ostream& err);

} // namespace kelmora::cli
