// A project's side file NAME.kmd.json in kelmora-cli: what info shows of it, and the
// side file that goes with the sprites when convert or rip writes a project.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Args.h"

namespace kelmora::cli
{

// info's lines about the side file of the project at projectPath, each ending in a line
// feed; "" when there is none.
std::string ExtrasInfoText(const std::string& projectPath);
// info --json's value of "extras": null when there is no side file, else an object with
// "file" and either "sequences", "objects" and "otherKeys" or "error".
std::string ExtrasInfoJson(const std::string& projectPath);

struct SideFilePlan
{
    bool write = false;
    std::string path;
    std::vector<std::uint8_t> bytes;
};

// What o (convert or rip, whose input o.files[0] is a project when inputIsProject) does
// with side files. A project output gets the input project's extras, or, when nothing
// is carried and OUT.json exists, an empty extras file, so that an old side file never
// describes sprites it was not written for. With --range nothing is carried (the sprites
// are numbered anew) and a warning says so, as it does when the output is not a project.
// False after a message on err when the input's side file cannot be used, or OUT.json
// exists and --force was not given. The side file is written in one transaction with the
// project it belongs to.
bool PlanSideFile(const Options& o, bool inputIsProject, SideFilePlan& plan, std::ostream& err);

// import-listing's side file: when OUT is a project, OUT.json names its sprites as the
// listing's labels did (names[k] is sprite k's, "" when unnamed). With no name and no
// OUT.json nothing is planned; when OUT.json exists it is replaced all the same, so that
// an old side file never describes sprites it was not written for. Other formats keep no names.
void PlanListingNames(const Options& o, const std::vector<std::string>& names, SideFilePlan& plan);

} // namespace kelmora::cli
