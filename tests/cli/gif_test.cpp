// gif, and the project side file in info and convert, through the built tool: GIF
// frames decoded with giflib against the sheet renderer, delays, looping, ping-pong
// order, --sequence from the side file, --strip; messages and exit codes.
#include "CliTestSupport.h"

#include "../core/GifDecode.h"
#include "cli/Sheet.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

const char* const kSideFile = R"({
  "format": "kelmora-project-extras",
  "version": 1,
  "sequences": [
    {"name": "idle", "frames": [{"slot": 0, "delay": 50}]},
    {"name": "run", "mode": "pingpong", "frames": [{"slot": 4, "delay": 3}, {"slot": 0, "delay": 1},
                                                  {"slot": 3, "delay": 255}, {"slot": 6}]}
  ],
  "layers": [{"name": "boss"}]
})";

// A project of seven sprites (1 and 4 carry the overlay flag) with the side file above.
void MakeProject(const TempFolder& dir, const std::string& name = "a.kmd")
{
    Bank bank(7);
    ASSERT_EQ(SaveProject(&bank.bank, dir.file(name).c_str()), 1);
    WriteText(dir.file(name + ".json"), kSideFile);
}

#ifdef KELMORA_HAVE_GIF

// The slot whose sheet picture each frame shows (-1: none), checking every frame's size.
std::vector<int> ShownSlots(const gif_test::DecodedGif& gif, int scale, const std::uint32_t* palette)
{
    Bank bank(7);
    std::vector<int> slots;
    for (const gif_test::DecodedFrame& frame : gif.frames)
    {
        EXPECT_EQ(frame.width, 24 * scale);
        EXPECT_EQ(frame.height, 21 * scale);
        std::vector<std::uint32_t> rgb;
        for (std::uint8_t index : frame.indices)
            rgb.push_back(index < gif.palette.size() ? (gif.palette[index] | 0xFF000000u) : 0u);
        int slot = -1;
        for (int s = 0; s < 7 && slot < 0; ++s)
            if (kelmora::RenderSheet(bank.bank, s, s, 1, scale, palette).pixels == rgb) slot = s;
        slots.push_back(slot);
    }
    return slots;
}

std::vector<int> Delays(const gif_test::DecodedGif& gif)
{
    std::vector<int> delays;
    for (const gif_test::DecodedFrame& frame : gif.frames)
        delays.push_back(frame.delay);
    return delays;
}

using V = std::vector<int>;

TEST(Gif, RangeFramesAreTheSheetsPicturesWithTheirDelaysAndLooping)
{
    TempFolder dir;
    MakeProject(dir);
    // Sprites 0..5: 1 + 2 and 4 + 5 are overlay pairs, one frame each.
    CliResult r = RunCli(dir, {"gif", "a.kmd", "a.gif", "--range", "0-5", "--scale", "3", "--delay", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    gif_test::DecodedGif gif = gif_test::DecodeGif(ReadBytes(dir.file("a.gif")));
    ASSERT_EQ(gif.problem, "");
    EXPECT_EQ(gif.width, 72);
    EXPECT_EQ(gif.height, 63);
    EXPECT_EQ(gif.palette, std::vector<std::uint32_t>(kBuiltInPalette, kBuiltInPalette + 16));
    EXPECT_EQ(ShownSlots(gif, 3, kBuiltInPalette), (V{0, 1, 3, 4}));
    EXPECT_EQ(Delays(gif), (V{14, 14, 14, 14}));
    EXPECT_EQ(gif.loopCount, 0);

    // Every sprite by default, at scale 2 and delay 4; ping-pong back without the ends.
    r = RunCli(dir, {"gif", "a.kmd", "b.gif", "--mode", "pingpong"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif = gif_test::DecodeGif(ReadBytes(dir.file("b.gif")));
    EXPECT_EQ(ShownSlots(gif, 2, kBuiltInPalette), (V{0, 1, 3, 4, 6, 4, 3, 1}));
    EXPECT_EQ(Delays(gif), V(8, 8));
    EXPECT_EQ(gif.loopCount, 0);

    // Once: no looping extension; a palette from a file.
    std::string palette = "\"grey\"\n";
    std::uint32_t greys[16];
    for (int i = 0; i < 16; ++i)
    {
        greys[i] = static_cast<std::uint32_t>(i * 0x111111);
        char colour[16];
        std::snprintf(colour, sizeof colour, "#%06X ", greys[i]);
        palette += colour;
    }
    WriteText(dir.file("grey.pal"), palette + "\n");
    r = RunCli(dir, {"gif", "a.kmd", "c.gif", "--range", "3-3", "--mode", "once", "--scale", "1",
                     "--palette-file", "grey.pal", "--palette", "Grey"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif = gif_test::DecodeGif(ReadBytes(dir.file("c.gif")));
    EXPECT_EQ(gif.palette, std::vector<std::uint32_t>(greys, greys + 16));
    EXPECT_EQ(ShownSlots(gif, 1, greys), (V{3}));
    EXPECT_EQ(gif.loopCount, -1);

    // An independent decoder agrees on the frames and their delays, when there is one.
    if (HaveTool("identify"))
    {
        ASSERT_TRUE(Shell(dir, "identify -format '%T,' b.gif")); // its output goes to .shell
        EXPECT_EQ(ReadText(dir.file(".shell")), "8,8,8,8,8,8,8,8,");
    }
}

TEST(Gif, SequenceFromTheProjectsSideFileAndItsStrip)
{
    TempFolder dir;
    MakeProject(dir);
    CliResult r =
        RunCli(dir, {"gif", "a.kmd", "run.gif", "--sequence", "run", "--scale", "1", "--strip", "run.png"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif_test::DecodedGif gif = gif_test::DecodeGif(ReadBytes(dir.file("run.gif")));
    ASSERT_EQ(gif.problem, "");
    EXPECT_EQ(ShownSlots(gif, 1, kBuiltInPalette), (V{4, 0, 3, 6, 3, 0}));
    EXPECT_EQ(Delays(gif), (V{6, 2, 510, 8, 510, 2}));
    EXPECT_EQ(gif.loopCount, 0);
    // The strip holds the same six frames side by side: 144 x 21 pixels.
    const Bytes png = ReadBytes(dir.file("run.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(Bytes(png.begin() + 16, png.begin() + 24), (Bytes{0, 0, 0, 144, 0, 0, 0, 21}));

    // --mode replaces the sequence's own.
    r = RunCli(dir, {"gif", "a.kmd", "once.gif", "--sequence", "run", "--mode", "once"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif = gif_test::DecodeGif(ReadBytes(dir.file("once.gif")));
    EXPECT_EQ(ShownSlots(gif, 2, kBuiltInPalette), (V{4, 0, 3, 6}));
    EXPECT_EQ(gif.loopCount, -1);
}

#endif // KELMORA_HAVE_GIF

TEST(Gif, RefusalsAndUsageErrors)
{
    TempFolder dir;
    MakeProject(dir);
    Bank small(2);
    ASSERT_EQ(SaveProject(&small.bank, dir.file("small.kmd").c_str()), 1);
    ASSERT_EQ(SaveProject(&small.bank, dir.file("plain.kmd").c_str()), 1);
    WriteText(dir.file("small.kmd.json"), kSideFile);
    WriteText(dir.file("broken.kmd.json"), "{\"format\": \"kelmora-project-extras\", \"version\": 9}");
    ASSERT_EQ(SaveProject(&small.bank, dir.file("broken.kmd").c_str()), 1);
    ASSERT_EQ(ExportSprites(&small.bank, dir.file("s.raw").c_str(), 2, -1, kExportNative), 1);

    const struct
    {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"gif", "a.kmd", "x.gif", "--range", "1-3", "--sequence", "run"},
         2,
         "--range and --sequence cannot"},
        {{"gif", "a.kmd", "x.gif", "--sequence", "run", "--delay", "3"}, 2, "--delay applies to a range"},
        {{"gif", "s.raw", "x.gif", "--sequence", "run"}, 2, "sequences are kept beside a project file"},
        {{"gif", "a.kmd", "x.gif", "--delay", "0"}, 2, "'0' is not a delay of 1..255 ticks"},
        {{"gif", "a.kmd", "x.gif", "--mode", "bounce"}, 2, "unknown mode 'bounce' (loop, pingpong or once)"},
        {{"gif", "a.kmd", "x.gif", "--strip", "x.gif"}, 2, "the strip cannot be the GIF file itself"},
#ifdef KELMORA_HAVE_GIF
        {{"gif", "a.kmd", "x.gif", "--palette", "Nope"}, 2, "no palette named \"Nope\""},
        {{"gif", "plain.kmd", "x.gif", "--sequence", "run"},
         1,
         "plain.kmd: has no side file plain.kmd.json, so it holds no sequences"},
        {{"gif", "a.kmd", "x.gif", "--sequence", "walk"},
         1,
         "a.kmd.json: holds no sequence named \"walk\" (it holds \"idle\", \"run\")"},
        {{"gif", "broken.kmd", "x.gif", "--sequence", "run"},
         1,
         "broken.kmd.json: was written by a newer version of Kelmora"},
        {{"gif", "small.kmd", "x.gif", "--sequence", "run"},
         1,
         "small.kmd: sequence \"run\", frame 0: sprite 4 is not in use (there are 2 sprites)"},
        {{"gif", "a.kmd", "x.gif", "--range", "5-9"},
         1,
         "a.kmd: holds 7 sprites (0-6), so it has no sprites 5-9"},
        {{"gif", "missing.kmd", "x.gif"}, 1, "missing.kmd: No such file or directory"},
#else
        {{"gif", "a.kmd", "x.gif"}, 1, "kelmora-cli was built without GIF support"},
#endif
    };
    for (const auto& c : cases)
    {
        const CliResult r = RunCli(dir, c.args);
        std::string line;
        for (const std::string& arg : c.args)
            line += arg + " ";
        EXPECT_EQ(r.exitCode, c.exitCode) << line << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << line << "\n" << r.err;
        EXPECT_FALSE(fs::exists(dir.file("x.gif"))) << line;
    }

#ifdef KELMORA_HAVE_GIF
    // Outputs that exist are kept without --force: the GIF, and the strip (then the GIF
    // is not written either).
    WriteText(dir.file("old.gif"), "old");
    CliResult r = RunCli(dir, {"gif", "a.kmd", "old.gif"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("old.gif: already exists (use --force to replace it)"), std::string::npos) << r.err;
    EXPECT_EQ(ReadText(dir.file("old.gif")), "old");
    WriteText(dir.file("old.png"), "old");
    r = RunCli(dir, {"gif", "a.kmd", "new.gif", "--strip", "old.png"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.file("new.gif")));
    EXPECT_EQ(ReadText(dir.file("old.png")), "old");
    r = RunCli(dir, {"gif", "a.kmd", "old.gif", "--strip", "old.png", "--force"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("old.gif")).size() > 100 && ReadBytes(dir.file("old.png")).size() > 100,
              true);
#endif
}

TEST(Info, ListsWhatTheSideFileHolds)
{
    TempFolder dir;
    MakeProject(dir);
    CliResult r = RunCli(dir, {"info", "a.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Colours:  background 6, multicolour 1 2, multicolour 2 9\n"
                         "Extras:   a.kmd.json, 2 sequences\n"
                         "          \"idle\": 1 frame, loop, 50 ticks a pass (1.00 s)\n"
                         "          \"run\": 4 frames, pingpong, 519 ticks a pass (10.38 s)\n"
                         "          other keys kept: \"layers\"\n"
                         "\nSprite"),
              std::string::npos)
        << r.out;
    r = RunCli(dir, {"info", "--json", "a.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(
        r.out.find("  \"extras\": {\"file\": \"a.kmd.json\", \"sequences\": [{\"name\": \"idle\", \"mode\": "
                   "\"loop\", \"frames\": 1, \"ticks\": 50}, {\"name\": \"run\", \"mode\": \"pingpong\", "
                   "\"frames\": 4, \"ticks\": 519}], \"objects\": [], \"otherKeys\": [\"layers\"]},\n"),
        std::string::npos)
        << r.out;

    // A side file that cannot be used is named with the reason; the sprites are still described.
    WriteText(dir.file("a.kmd.json"),
              "{\"format\": \"kelmora-project-extras\", \"version\": 1, \"sequences\": 3}");
    r = RunCli(dir, {"info", "a.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Extras:   not used, a.kmd.json: \"sequences\" is a whole number, not a list\n"),
              std::string::npos)
        << r.out;
    r = RunCli(dir, {"info", "--json", "a.kmd"});
    EXPECT_NE(r.out.find("\"extras\": {\"file\": \"a.kmd.json\", \"error\": \"\\\"sequences\\\" is a whole"),
              std::string::npos)
        << r.out;
    // None at all: no Extras line, and null.
    fs::remove(dir.file("a.kmd.json"));
    r = RunCli(dir, {"info", "a.kmd"});
    EXPECT_EQ(r.out.find("Extras"), std::string::npos) << r.out;
    r = RunCli(dir, {"info", "--json", "a.kmd"});
    EXPECT_NE(r.out.find("  \"extras\": null,\n"), std::string::npos) << r.out;
}

TEST(Convert, ProjectsCarryTheirSideFileAlong)
{
    TempFolder dir;
    MakeProject(dir);
    ProjectExtras extras;
    std::string message;
    ASSERT_TRUE(ParseProjectExtras(kSideFile, extras, message)) << message;
    const std::string expected = SerialiseProjectExtras(extras);

    // Project to project: the side file comes along, unknown keys included.
    CliResult r = RunCli(dir, {"convert", "a.kmd", "b.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadBytes(dir.file("b.kmd")), ReadBytes(dir.file("a.kmd")));
    EXPECT_EQ(ReadText(dir.file("b.kmd.json")), expected);

    // Without --force an existing side file is kept, and so is everything else.
    WriteText(dir.file("c.kmd.json"), "mine");
    r = RunCli(dir, {"convert", "a.kmd", "c.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("c.kmd.json: already exists (use --force to replace it)"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("c.kmd")));
    EXPECT_EQ(ReadText(dir.file("c.kmd.json")), "mine");

    // A project made from a file without extras replaces an old side file with an empty one.
    ASSERT_TRUE(Shell(dir, "cp a.kmd plain.kmd"));
    r = RunCli(dir, {"convert", "plain.kmd", "c.kmd", "--force"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadText(dir.file("c.kmd.json")), SerialiseProjectExtras(ProjectExtras()));
    r = RunCli(dir, {"convert", "plain.kmd", "d.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("d.kmd.json")));

    // Not carried, with a warning: into raw data, and with --range (sprites renumbered).
    r = RunCli(dir, {"convert", "a.kmd", "a.raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("warning: a.kmd.json: not carried along: only a project has a side file"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("a.raw.json")));
    r = RunCli(dir, {"convert", "a.kmd", "part.kmd", "--range", "2-4"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("a.kmd.json: not carried along: --range numbers the sprites anew"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("part.kmd.json")));

    // A side file that cannot be used stops a project output rather than losing it.
    WriteText(dir.file("a.kmd.json"), "{\"format\": \"kelmora-project-extras\", \"version\": 2}");
    r = RunCli(dir, {"convert", "a.kmd", "e.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("a.kmd.json: was written by a newer version of Kelmora"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("move it away to convert the sprites alone"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("e.kmd")));
    EXPECT_FALSE(fs::exists(dir.file("e.kmd.json")));
}

} // namespace
