// listing and import-listing with a project's side file: presets and sprite names taken
// from it, names read from a listing's labels written into it, and what info shows of both.
#include "CliTestSupport.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

struct ListingExtrasFixture : ::testing::Test
{
    TempFolder dir;
    Bank bank{4};
    ProjectExtras extras;

    void SetUp() override
    {
        ASSERT_EQ(SaveProject(&bank.bank, dir.file("s.kmd").c_str()), 1);
        extras.names = {{0, "ship"}, {2, "boss head"}};
        ListingPreset game{"game", {}};
        game.options.dialect = ListingDialect::Tass64;
        game.options.numbers = ListingNumbers::Binary;
        game.options.rows = true;
        game.options.labels = ListingLabels::Names;
        ListingPreset basic{"basic", {}};
        basic.options.dialect = ListingDialect::Basic;
        basic.options.prg = true;
        basic.options.loaderAddress = 0x3000;
        extras.exportPresets = {game, basic};
        ASSERT_TRUE(WriteProjectExtras(dir.file("s.kmd"), extras));
    }

    CliResult Run(const std::vector<std::string>& args) { return RunCli(dir, args); }

    ProjectExtras ExtrasOf(const std::string& project)
    {
        ProjectExtras read;
        std::string message;
        EXPECT_EQ(ReadProjectExtras(dir.file(project), read, message), ExtrasReadStatus::Read) << message;
        return read;
    }
};

} // namespace

TEST_F(ListingExtrasFixture, PresetsAndNamesComeFromTheInputProject)
{
    // A preset is the options it holds; the sprite names become the labels.
    CliResult r = Run({"listing", "s.kmd", "preset.s", "--preset", "game"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Run({"listing", "s.kmd", "given.s", "--dialect", "64tass", "--numbers", "binary", "--rows",
             "--labels", "names"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = ReadText(dir.file("preset.s"));
    EXPECT_EQ(text, ReadText(dir.file("given.s")));
    EXPECT_NE(text.find("; Sprite 0\n\nship\n\t.byte %"), std::string::npos) << text;
    EXPECT_NE(text.find("; Sprite 2\n\nboss_head\n\t.byte %"), std::string::npos) << text;

    // Options given go over the preset's; the BASIC preset writes a program.
    r = Run({"listing", "s.kmd", "over.a", "--preset", "game", "--dialect", "acme", "--numbers", "hex"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(ReadText(dir.file("over.a")).find("ship\n\t!byte $"), std::string::npos);
    r = Run({"listing", "s.kmd", "s.prg", "--preset", "basic"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes prg = ReadBytes(dir.file("s.prg"));
    ASSERT_GT(prg.size(), 2u);
    EXPECT_EQ(prg[0], 0x01);
    EXPECT_EQ(prg[1], 0x08);

    // The importer finds the names again in the labels, as labels.
    r = Run({"import-listing", "preset.s", "back.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ExtrasOf("back.kmd").names, (std::map<int, std::string>{{0, "ship"}, {2, "boss_head"}}));
    const Bytes back = ReadBytes(dir.file("back.kmd")), original = ReadBytes(dir.file("s.kmd"));
    ASSERT_EQ(back.size(), original.size());
    EXPECT_TRUE(
        std::equal(back.begin() + 3, back.end(), original.begin() + 3)); // the sprites, not the colours
}

TEST_F(ListingExtrasFixture, PresetsThatCannotBeFoundAreRefused)
{
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("bare.kmd").c_str()), 1);
    ASSERT_EQ(ExportSprites(&bank.bank, dir.file("s.raw").c_str(), 4, -1, kExportNative), 1);
    kelmora_cli_test::WriteBytes(dir.file("broken.kmd.json"), Bytes{'{', 'x'});
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("broken.kmd").c_str()), 1);
    const auto refused =
        [&](const std::string& input, const std::vector<std::string>& extra, const std::string& message)
    {
        std::vector<std::string> args{"listing", input, "o.txt"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 1) << message;
        EXPECT_EQ(r.err, "kelmora-cli: " + input + ": " + message + "\n");
        EXPECT_FALSE(fs::exists(dir.file("o.txt")));
    };
    refused("s.kmd", {"--preset", "demo"}, "no preset demo (the project's presets: game, basic)");
    refused("bare.kmd", {"--preset", "game"}, "no preset game: there is no side file bare.kmd.json");
    refused("s.raw", {"--preset", "game"},
            "no preset game: presets are kept in a project's side file, and this is not a project");
    const CliResult r = Run({"listing", "broken.kmd", "o.txt", "--dialect", "acme", "--labels", "names"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("kelmora-cli: broken.kmd: the sprite names cannot be read: broken.kmd.json: ", 0),
              0u)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("o.txt")));

    // Sprites without a project have no names: the listing is written without labels.
    const CliResult raw = Run({"listing", "s.raw", "raw.a", "--dialect", "acme", "--labels", "names"});
    EXPECT_EQ(raw.exitCode, 0);
    EXPECT_EQ(raw.err, "kelmora-cli: warning: s.raw: --labels names: only a project's sprites have names, so "
                       "no labels are written\n");
}

TEST_F(ListingExtrasFixture, ImportListingWritesTheNamesIntoTheProjectsSideFile)
{
    ASSERT_EQ(Run({"listing", "s.kmd", "s.h", "--dialect", "c", "--labels", "names"}).exitCode, 0);
    // --range numbers the sprites anew, and their names with them.
    CliResult r = Run({"import-listing", "s.h", "part.kmd", "--range", "1-3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ExtrasOf("part.kmd").names, (std::map<int, std::string>{{1, "boss_head"}}));

    // Raw data keeps no names.
    r = Run({"import-listing", "s.h", "s.raw", "--no-inf"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(dir.file("s.raw.json")));

    // The side file is one output with the project: an old one is never replaced without
    // --force, and then it no longer names sprites the listing did not name.
    ASSERT_EQ(Run({"listing", "s.kmd", "plain.a", "--dialect", "acme"}).exitCode, 0);
    r = Run({"import-listing", "plain.a", "part.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(ExtrasOf("part.kmd").names.size(), 1u);
    r = Run({"import-listing", "plain.a", "part.kmd", "--force"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(ExtrasOf("part.kmd").names.empty());
    r = Run({"import-listing", "plain.a", "fresh.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("fresh.kmd.json")));
}

TEST_F(ListingExtrasFixture, InfoListsNamesAndPresets)
{
    CliResult r = Run({"info", "s.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(
        r.out.find("          sprite 0: \"ship\"\n"
                   "          sprite 2: \"boss head\"\n"
                   "          preset \"game\": --dialect 64tass --numbers binary --rows --labels names\n"
                   "          preset \"basic\": --dialect basic --prg --loader 3000\n"),
        std::string::npos)
        << r.out;
    r = Run({"info", "--json", "s.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"names\": {\"0\": \"ship\", \"2\": \"boss head\"}, \"presets\": {\"game\": "
                         "{\"align\":false,"),
              std::string::npos)
        << r.out;
}
