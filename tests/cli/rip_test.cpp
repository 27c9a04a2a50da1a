// rip: video banks of real VICE snapshots, and a snapshot of another machine refused.
#include "CliTestSupport.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

bool HaveRealData(const std::string& relative)
{
    return fs::exists(RealData(relative));
}

} // namespace

TEST(Rip, VideoBankOfARealSnapshot)
{
    const std::string snapshot = RealData("vsf/c64-rambo2-norom.vsf");
    if (!HaveRealData("vsf/c64-rambo2-norom.vsf")) GTEST_SKIP() << "real snapshot not present";
    TempFolder dir;

    // In this snapshot the memory module's name starts at byte 106, the RAM 26 bytes later;
    // the VIC-II shows bank 1, and sprite 0's pointer names $51C0, slot 71 of that bank.
    const Bytes file = ReadBytes(snapshot);
    const std::size_t ram = 106 + 26;
    ASSERT_EQ(std::string(file.begin() + 106, file.begin() + 112), "C64MEM");
    const Bytes shape(file.begin() + static_cast<long>(ram + 0x51C0),
                      file.begin() + static_cast<long>(ram + 0x5200));

    CliResult r = RunCli(dir, {"rip", snapshot, "bank1.kmd", "--bank", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes project = ReadBytes(dir.file("bank1.kmd"));
    ASSERT_EQ(project.size(), 3u + 256 * 64);
    EXPECT_EQ(Bytes(project.begin(), project.begin() + 3), (Bytes{11, 0, 1}));
    EXPECT_EQ(Bytes(project.begin() + 3 + 71 * 64, project.begin() + 3 + 72 * 64), shape);
    // The whole bank, byte for byte.
    EXPECT_TRUE(
        std::equal(project.begin() + 3, project.end(), file.begin() + static_cast<long>(ram + 0x4000)));

    // Fewer sprites, as raw data (no colours, so no side file) and as a PRG file.
    r = RunCli(dir, {"rip", snapshot, "bank1.raw", "--bank", "1", "--count", "72"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes raw = ReadBytes(dir.file("bank1.raw"));
    ASSERT_EQ(raw.size(), 72u * 64);
    EXPECT_EQ(Bytes(raw.end() - 64, raw.end()), shape);
    EXPECT_FALSE(fs::exists(dir.file("bank1.raw.inf")));
    r = RunCli(dir, {"rip", snapshot, "bank0.prg", "--count", "2", "--load-address", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes prg = ReadBytes(dir.file("bank0.prg"));
    ASSERT_EQ(prg.size(), 2u + 128);
    EXPECT_TRUE(std::equal(prg.begin() + 2, prg.end(), file.begin() + static_cast<long>(ram)));

    // A SEUCK file holds at most 127 sprites: the default 256 are refused.
    r = RunCli(dir, {"rip", snapshot, "all.a"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("choose fewer with --count"), std::string::npos) << r.err;
    EXPECT_EQ(RunCli(dir, {"rip", snapshot, "few.a", "--count", "127"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.file("few.a")).size(), 8130u);
}

TEST(Rip, RefusesWhatIsNotAC64Snapshot)
{
    TempFolder dir;
    if (HaveRealData("vsf/c128-rhps-norom.vsf"))
    {
        const CliResult r = RunCli(dir, {"rip", RealData("vsf/c128-rhps-norom.vsf"), "out.kmd"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(
            r.err.find("c128-rhps-norom.vsf: Invalid VICE snapshot file (this is a snapshot of a C128)\n"),
            std::string::npos)
            << r.err;
        EXPECT_FALSE(fs::exists(dir.file("out.kmd")));
    }
    // A snapshot cut short inside its memory is refused too: the module's length (65,562) runs
    // past the end of the file.
    std::string head = "VICE Snapshot File\x1a\x01\x01" + std::string("C64") + std::string(13, '\0') +
                       "C64MEM" + std::string(12, '\0') + std::string("\x1a\0\x01\0", 4) +
                       std::string(4, '\0');
    Bytes cut(head.begin(), head.end());
    cut.resize(cut.size() + 40000, 0x55);
    WriteBytes(dir.file("cut.vsf"), cut);
    CliResult r = RunCli(dir, {"rip", "cut.vsf", "out.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: cut.vsf: Invalid VICE snapshot file (the memory module is incomplete)\n");
    r = RunCli(dir, {"rip", "absent.vsf", "out.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: absent.vsf: No such file or directory\n");
    EXPECT_FALSE(fs::exists(dir.file("out.kmd")));
}
