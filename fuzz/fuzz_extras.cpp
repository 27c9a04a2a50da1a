// The project side file's reader over arbitrary text: a refusal says why and leaves the
// record as it was; whatever is accepted holds sound sequences, is written back in a form
// that reads again to the same record and the same text, and plays within its bounds.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ProjectExtras extras;
    extras.sequences.push_back({"before", PlayMode::Once, {{3, 9, ""}}, ""});
    const ProjectExtras before = extras;
    std::string message;
    if (!ParseProjectExtras(text, extras, message))
    {
        FUZZ_CHECK(!message.empty());
        FUZZ_CHECK(extras == before);
        return 0;
    }
    FUZZ_CHECK(CheckSequences(extras.sequences).empty());
    for (const Sequence& sequence : extras.sequences)
    {
        const std::vector<ShownFrame> pass = SequencePass(sequence);
        FUZZ_CHECK(pass.size() <= std::size_t(2 * kMaxSequenceFrames));
        FUZZ_CHECK(sequence.frames.empty() == pass.empty());
    }

    const std::string written = SerialiseProjectExtras(extras);
    ProjectExtras again;
    FUZZ_CHECK(ParseProjectExtras(written, again, message));
    FUZZ_CHECK(again.sequences == extras.sequences);
    FUZZ_CHECK(OtherExtrasKeys(again) == OtherExtrasKeys(extras));
    FUZZ_CHECK(SerialiseProjectExtras(again) == written);
    return 0;
}
