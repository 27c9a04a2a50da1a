// --object of sheet and gif, and the objects info lists, through the built tool: the
// pictures against the store's object renderers, object frames in sequences, messages
// and exit codes.
#include "CliTestSupport.h"

#include "../core/GifDecode.h"
#include "cli/Pictures.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

// "pair": 2 x 1 of overlay pairs in 0..3; "tall": 1 x 2 of sprites 8 and 9; a sequence
// of frames naming objects and slots.
const char* const kSideFile = R"({
  "format": "kelmora-project-extras",
  "version": 1,
  "objects": [
    {"name": "pair", "columns": 2, "rows": 1, "cells": [0, 2], "overlayCells": [1, 3]},
    {"name": "tall", "columns": 1, "rows": 2, "cells": [8, 9]},
    {"name": "far", "columns": 1, "rows": 1, "cells": [30]}
  ],
  "sequences": [
    {"name": "stomp", "frames": [{"object": "tall", "delay": 6}, {"slot": 5, "delay": 2}, {"object": "pair"}]},
    {"name": "steps", "frames": [{"slot": 0, "delay": 3}, {"slot": 4, "delay": 5}, {"slot": 10}]}
  ]
})";

void MakeProject(const TempFolder& dir, int sprites = 12)
{
    Bank bank(sprites);
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("a.kmd").c_str()), 1);
    const std::string text = kSideFile;
    WriteBytes(dir.file("a.kmd.json"), Bytes(text.begin(), text.end()));
}

std::vector<SpriteObject> Objects()
{
    ProjectExtras extras;
    std::string message;
    EXPECT_TRUE(ParseProjectExtras(kSideFile, extras, message)) << message;
    return extras.objects;
}

RgbaImage DecodedPng(const std::string& path)
{
    std::vector<RgbaImage> frames;
    std::string problem;
    EXPECT_TRUE(kelmora::cli::DecodePicture(ReadBytes(path), frames, problem)) << problem;
    return frames.empty() ? RgbaImage() : frames[0];
}

} // namespace

TEST(Objects, SheetDrawsTheObjectAndItsFramesAsTheStoreDoes)
{
    if (!kelmora::cli::PictureSupport()) GTEST_SKIP() << "built without picture support";
    TempFolder dir;
    MakeProject(dir);
    Bank bank(12);
    const SpriteObject pair = Objects()[0];

    CliResult r = RunCli(dir, {"sheet", "a.kmd", "pair.png", "--object", "pair", "--scale", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    RgbaImage shown = DecodedPng(dir.file("pair.png"));
    EXPECT_EQ(shown.width, 144);
    EXPECT_EQ(shown.height, 63);
    EXPECT_EQ(shown.pixels, RenderObjectSheet(bank.bank, {pair}, 8, 3, kBuiltInPalette).pixels);

    // Its frames in sprites 0..11: 0-3, 4-7 and 8-11, two a row.
    r = RunCli(dir, {"sheet", "a.kmd", "frames.png", "--object", "pair", "--range", "0-11", "--columns", "2",
                     "--scale", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    shown = DecodedPng(dir.file("frames.png"));
    const std::vector<SpriteObject> frames = ObjectFramesInRange(pair, 0, 11);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(shown.width, 96);
    EXPECT_EQ(shown.height, 42);
    EXPECT_EQ(shown.pixels, RenderObjectSheet(bank.bank, frames, 2, 1, kBuiltInPalette).pixels);
}

#ifdef KELMORA_HAVE_GIF

TEST(Objects, GifFramesShowObjectsAsTheStoreDrawsThem)
{
    TempFolder dir;
    MakeProject(dir);
    Bank bank(12);
    const std::vector<SpriteObject> objects = Objects();
    const SpriteObject& pair = objects[0];
    const auto frameIndices = [](const SpriteBank& b, const SpriteObject& object, FrameSize canvas, int scale)
    {
        ShownFrame frame{0, 4, object.name};
        return RenderShownFrame(b, frame, {object}, canvas, scale).colours;
    };

    // --object with --range: a frame for each 4 sprites, delays from --delay.
    CliResult r = RunCli(dir, {"gif", "a.kmd", "a.gif", "--object", "pair", "--range", "0-11", "--delay", "5",
                               "--scale", "2", "--strip", "a.png"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif_test::DecodedGif gif = gif_test::DecodeGif(ReadBytes(dir.file("a.gif")));
    ASSERT_EQ(gif.problem, "");
    EXPECT_EQ(gif.width, 96);
    EXPECT_EQ(gif.height, 42);
    const std::vector<SpriteObject> frames = ObjectFramesInRange(pair, 0, 11);
    ASSERT_EQ(gif.frames.size(), frames.size());
    for (std::size_t k = 0; k < frames.size(); ++k)
    {
        EXPECT_EQ(gif.frames[k].delay, 10);
        EXPECT_EQ(gif.frames[k].indices, frameIndices(bank.bank, frames[k], {48, 21}, 2)) << k;
    }
    if (kelmora::cli::PictureSupport())
    {
        EXPECT_EQ(DecodedPng(dir.file("a.png")).width, 3 * 96);
    }

    // The object alone: one frame.
    r = RunCli(dir, {"gif", "a.kmd", "b.gif", "--object", "tall", "--scale", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif = gif_test::DecodeGif(ReadBytes(dir.file("b.gif")));
    ASSERT_EQ(gif.frames.size(), 1u);
    EXPECT_EQ(gif.frames[0].indices, RenderObjectPicture(bank.bank, objects[1], 1).colours);

    // A sequence naming objects: every frame on the canvas of the largest (48 x 42).
    r = RunCli(dir, {"gif", "a.kmd", "c.gif", "--sequence", "stomp", "--scale", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif = gif_test::DecodeGif(ReadBytes(dir.file("c.gif")));
    EXPECT_EQ(gif.width, 48);
    EXPECT_EQ(gif.height, 42);
    ASSERT_EQ(gif.frames.size(), 3u);
    EXPECT_EQ(gif.frames[0].indices, frameIndices(bank.bank, objects[1], {48, 42}, 1));
    EXPECT_EQ(gif.frames[1].indices, RenderShownFrame(bank.bank, {5, 2}, {}, {48, 42}, 1).colours);
    EXPECT_EQ(gif.frames[2].indices, frameIndices(bank.bank, pair, {48, 42}, 1));
    EXPECT_EQ(gif.frames[0].delay, 12);

    // --object with a sequence of slots: the object placed at each frame's slot.
    r = RunCli(dir, {"gif", "a.kmd", "d.gif", "--sequence", "steps", "--object", "tall", "--scale", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    gif = gif_test::DecodeGif(ReadBytes(dir.file("d.gif")));
    ASSERT_EQ(gif.frames.size(), 3u);
    EXPECT_EQ(gif.frames[1].indices, frameIndices(bank.bank, *PlaceObject(objects[1], 4), {24, 42}, 1));
    EXPECT_EQ(gif.frames[1].delay, 10);
}

#endif

TEST(Objects, InfoListsTheObjects)
{
    TempFolder dir;
    MakeProject(dir);
    CliResult r = RunCli(dir, {"info", "a.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Objects:  3 objects\n"
                         "          \"pair\": 2 x 1, sprites 0 2, overlay 1 3\n"
                         "          \"tall\": 1 x 2, sprites 8 9\n"),
              std::string::npos)
        << r.out;
    r = RunCli(dir, {"info", "a.kmd", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(
        r.out.find(R"("objects": [{"name": "pair", "columns": 2, "rows": 1, "cells": [0, 2], )"
                   R"("overlayCells": [1, 3]}, {"name": "tall", "columns": 1, "rows": 2, "cells": [8, 9], )"
                   R"("overlayCells": null}, )"),
        std::string::npos)
        << r.out;
}

TEST(Objects, RefusalsSayWhyWithTheirExitCodes)
{
    TempFolder dir;
    MakeProject(dir);
    WriteBytes(dir.file("a.raw"), Bytes(4 * 64, 0));
    const struct
    {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"sheet", "a.kmd", "o.png", "--object", "boss"},
         1,
         "a.kmd.json: holds no object named \"boss\" (it holds \"pair\", \"tall\", \"far\")"},
        {{"gif", "a.kmd", "o.gif", "--object", "far"},
         1,
         "a.kmd: Object \"far\": cell 0 uses sprite 30, beyond the 12 sprites in use."},
        {{"sheet", "a.kmd", "o.png", "--object", "pair", "--range", "0-2"},
         1,
         "a.kmd: sprites 0-2 hold no whole frame of object \"pair\" (a frame takes 4 sprites)"},
        {{"gif", "a.kmd", "o.gif", "--sequence", "steps", "--object", "pair"},
         1,
         "a.kmd: sequence \"steps\", frame 2: Object \"pair\": cell 1 uses sprite 12, beyond"},
        {{"sheet", "a.raw", "o.png", "--object", "pair"},
         2,
         "--object: objects are kept beside a project file (.kmd), and a.raw is read as raw data"},
        {{"gif", "a.kmd", "o.gif", "--object", ""}, 2, "--object: needs an object name"},
        {{"listing", "a.kmd", "o.txt", "--object", "pair"}, 2, "--object"},
    };
    for (const auto& c : cases)
    {
        const CliResult r = RunCli(dir, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir.file("o.png")) || fs::exists(dir.file("o.gif")));
    }

    // Without a side file there are no objects.
    fs::remove(dir.file("a.kmd.json"));
    const CliResult r = RunCli(dir, {"sheet", "a.kmd", "o.png", "--object", "pair"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("a.kmd: has no side file a.kmd.json, so it holds no objects"), std::string::npos)
        << r.err;
}
