// kelmora-cli against faults, races and signals: every writing command with each fault,
// the messages and exit codes that come out, and standard output that cannot be written.
// Races and signals are made to happen at a known step through the file layer's step hook,
// in a child process that runs the tool's own main.
#include "CliTestSupport.h"

#include "cli/Run.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/stat.h>

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

using Hook = std::function<int(FileStep, const std::string&)>;

int CallHook(FileStep step, const char* path, void* hook)
{
    return (*static_cast<Hook*>(hook))(step, path);
}

// Runs the tool's main in a child process in folder, with hook on every file step.
// exitCode is the tool's, or -signal when a signal ended it.
CliResult RunWithHook(const TempFolder& folder, std::vector<std::string> args, Hook hook)
{
    const std::string out = folder.file(".stdout"), err = folder.file(".stderr");
    const pid_t pid = fork();
    if (pid == 0)
    {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 || chdir(folder.path().c_str()) != 0)
            _exit(120);
        setenv("XDG_DATA_HOME", "/nonexistent", 1);
        setenv("XDG_DATA_DIRS", "/nonexistent", 1);
        SetFileStepHook(&CallHook, &hook);
        std::vector<char*> argv{const_cast<char*>("kelmora-cli")};
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        _exit(cli::RunMain(static_cast<int>(argv.size()) - 1, argv.data()));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    r.exitCode = WIFSIGNALED(status) ? -WTERMSIG(status) : WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
    r.out = ReadText(out);
    r.err = ReadText(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

std::vector<std::string> Entries(const TempFolder& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One command that writes an output, and the names it writes.
struct Command
{
    std::vector<std::string> args; // the output is the last argument
    std::vector<std::string> outputs;
};

const Command kCommands[] = {
    {{"convert", "in.kmd", "x.kmd"}, {"x.kmd"}},
    {{"convert", "in.kmd", "x.raw"}, {"x.raw", "x.raw.inf"}},
    {{"listing", "in.kmd", "x.txt"}, {"x.txt"}},
    {{"sheet", "in.kmd", "x.png"}, {"x.png"}},
};

// A folder with the input and, when asked, an older file at every output.
struct Scene
{
    TempFolder dir;
    Bank bank{4};
    std::map<std::string, Bytes> before;

    explicit Scene(const Command& c, bool older)
    {
        EXPECT_EQ(SaveProject(&bank.bank, dir.file("in.kmd").c_str()), 1);
        if (older)
            for (const std::string& name : c.outputs)
            {
                WriteBytes(dir.file(name), Bytes(9, static_cast<std::uint8_t>(name.size())));
                before[name] = ReadBytes(dir.file(name));
            }
    }
    bool OutputsAsBefore(const Command& c) const
    {
        for (const std::string& name : c.outputs)
            if (ReadBytes(dir.file(name)) != before.at(name)) return false;
        return true;
    }
    std::vector<std::string> Expected(const Command& c) const
    {
        std::vector<std::string> names = c.outputs;
        names.push_back("in.kmd");
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::vector<std::string> With(std::vector<std::string> args, const std::string& extra)
{
    args.push_back(extra);
    return args;
}

} // namespace

// A file that appears at an output between writing and committing is never replaced
// without --force: exit 1 and "already exists", the file that appeared left alone.
TEST(CliFaults, AnOutputThatAppearsMeanwhileIsNotReplaced)
{
    for (const Command& c : kCommands)
        for (const std::string& appears : c.outputs)
        {
            SCOPED_TRACE(c.args[0] + " " + appears);
            Scene scene(c, false);
            const Bytes intruder{'m', 'i', 'n', 'e'};
            const CliResult r =
                RunWithHook(scene.dir, c.args,
                            [&](FileStep step, const std::string& path)
                            {
                                if (step == FileStep::Commit && fs::path(path).filename() == appears)
                                    WriteBytes(scene.dir.file(appears), intruder);
                                return 0;
                            });
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err, "kelmora-cli: " + appears + ": already exists (use --force to replace it)\n");
            EXPECT_EQ(ReadBytes(scene.dir.file(appears)), intruder);
            EXPECT_EQ(Entries(scene.dir), (std::vector<std::string>{"in.kmd", appears}));
        }
}

// Many converts to one new name at once, without --force: exactly one of them writes it.
// Many converts of different projects to one raw output with --force: the sprites and the
// colours that remain come from the same project.
TEST(CliFaults, ParallelConvertsToOneOutput)
{
    TempFolder dir;
    for (int i = 0; i < 3; ++i)
    {
        Bank bank(2 + i);
        bank.bank.colourTransp = static_cast<std::uint8_t>(i);
        ASSERT_EQ(SaveProject(&bank.bank, dir.file(std::string(1, char('a' + i)) + ".kmd").c_str()), 1);
    }
    const auto runMany = [&](const std::string& force)
    {
        std::string script = "{ ";
        for (int k = 0; k < 20; ++k)
            script += "(" + ShellQuote(KELMORA_CLI_PATH) + " convert " + std::string(1, char('a' + k % 3)) +
                      ".kmd out.raw " + force + " 2>/dev/null; echo $? >> codes) & ";
        script += "wait; }";
        ASSERT_TRUE(Shell(dir, script));
    };
    runMany("");
    std::string codes = ReadText(dir.file("codes"));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), '0'), 1) << codes;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), '1'), 19) << codes;

    for (int round = 0; round < 5; ++round)
    {
        fs::remove(dir.file("codes"));
        runMany("--force");
        codes = ReadText(dir.file("codes"));
        EXPECT_EQ(std::count(codes.begin(), codes.end(), '0'), 20) << codes;
        const Bytes sprites = ReadBytes(dir.file("out.raw"));
        const Bytes colours = ReadBytes(dir.file("out.raw.inf"));
        ASSERT_EQ(colours.size(), 3u);
        EXPECT_EQ(sprites.size(), (2u + colours[0]) * 64) << "round " << round;
        EXPECT_EQ(Entries(dir), (std::vector<std::string>{".shell", "a.kmd", "b.kmd", "c.kmd", "codes",
                                                          "out.raw", "out.raw.inf"}));
    }
}

// A signal in the middle of a save ends the tool by that signal, with every older output
// kept and no temporary file left.
TEST(CliFaults, ASignalMidWriteLeavesNoTemporaryFile)
{
    for (const Command& c : kCommands)
        for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        {
            SCOPED_TRACE(c.args[0] + " " + c.outputs[0] + " signal " + std::to_string(sig));
            Scene scene(c, true);
            int synced = 0;
            const CliResult r = RunWithHook(scene.dir, With(c.args, "--force"),
                                            [&](FileStep step, const std::string&)
                                            {
                                                if (step == FileStep::SyncFile &&
                                                    ++synced == static_cast<int>(c.outputs.size()))
                                                    raise(sig);
                                                return 0;
                                            });
            EXPECT_EQ(r.exitCode, -sig) << r.err;
            EXPECT_TRUE(scene.OutputsAsBefore(c));
            EXPECT_EQ(Entries(scene.dir), scene.Expected(c));
        }
}

// Outputs that must not or cannot be written: a write-protected file, a side file whose
// name is taken by a folder or too long, a file size limit. Exit 1, the file named, the
// system's reason, every older output kept.
TEST(CliFaults, RefusedOutputsNameTheFileAndTheReason)
{
    for (const Command& c : kCommands)
    {
        SCOPED_TRACE(c.args[0] + " " + c.outputs[0]);
        Scene scene(c, true);
        ASSERT_EQ(chmod(scene.dir.file(c.outputs[0]).c_str(), 0444), 0);
        const CliResult r = RunCli(scene.dir, With(c.args, "--force"));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err,
                  "kelmora-cli: " + c.outputs[0] +
                      ": not written: Permission denied (the file is write-protected, or no new file may be "
                      "made in its folder)\n");
        EXPECT_TRUE(scene.OutputsAsBefore(c));
        EXPECT_EQ(Entries(scene.dir), scene.Expected(c));
    }

    // The raw data's side file fails: the raw data is not replaced either.
    const Command& raw = kCommands[1];
    Scene scene(raw, true);
    fs::remove(scene.dir.file("x.raw.inf"));
    fs::create_directory(scene.dir.file("x.raw.inf"));
    CliResult r = RunCli(scene.dir, With(raw.args, "--force"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: x.raw.inf: not written: Is a directory\n");
    EXPECT_EQ(ReadBytes(scene.dir.file("x.raw")), scene.before.at("x.raw"));

    const std::string longest = std::string(251, 'n') + ".raw"; // fits; its ".inf" does not
    r = RunCli(scene.dir, {"convert", "in.kmd", longest});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: " + longest + ".inf: not written: File name too long\n");
    EXPECT_FALSE(fs::exists(scene.dir.file(longest)));
}

// Standard output that cannot be written is a failure, said on standard error.
TEST(CliFaults, StandardOutputThatCannotBeWritten)
{
    TempFolder dir;
    Bank bank(3);
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("x.kmd").c_str()), 1);
    const std::string cli = ShellQuote(KELMORA_CLI_PATH);
    const auto exitOf = [&](const std::string& command)
    { return std::system(("cd " + ShellQuote(dir.path().string()) + " && " + command).c_str()); };

    int status = exitOf(cli + " info --json x.kmd >/dev/full 2>err");
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadText(dir.file("err")), "kelmora-cli: standard output: No space left on device\n");
    status = exitOf(cli + " --help >&- 2>err");
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadText(dir.file("err")), "kelmora-cli: standard output: Bad file descriptor\n");
    // A command that writes nothing there is not bothered by it, and its file is not put on
    // the closed stream's number.
    status = exitOf(cli + " convert x.kmd y.prg >&- 2>err");
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadText(dir.file("err"));
    EXPECT_EQ(ReadBytes(dir.file("y.prg")).size(), 2u + 3 * 64);
    // Standard error full: the failure shows in the exit status alone.
    status = exitOf(cli + " info missing.kmd 2>/dev/full");
    EXPECT_EQ(WEXITSTATUS(status), 1);
    status = exitOf(cli + " convert x.kmd z.prg 2>/dev/full");
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The tool's own check of the raw data's side file: only a regular file of exactly three
// bytes gives the colours; info then says so, and convert to raw writes a side file only then.
TEST(CliFaults, RawInputsSideFile)
{
    const struct
    {
        const char* what;
        std::function<void(const std::string&)> make;
        bool colours;
    } sides[] = {
        {"three bytes",
         [](const std::string& p) {
             WriteBytes(p, Bytes{1, 2, 3});
         },
         true},
        {"two bytes",
         [](const std::string& p) {
             WriteBytes(p, Bytes{1, 2});
         },
         false},
        {"four bytes",
         [](const std::string& p) {
             WriteBytes(p, Bytes{1, 2, 3, 4});
         },
         false},
        {"a folder", [](const std::string& p) { fs::create_directory(p); }, false},
        {"a pipe", [](const std::string& p) { mkfifo(p.c_str(), 0600); }, false},
    };
    for (const auto& s : sides)
    {
        SCOPED_TRACE(s.what);
        TempFolder dir;
        WriteBytes(dir.file("in.raw"), Bytes(128, 0x55));
        s.make(dir.file("in.raw.inf"));
        CliResult r = RunCli(dir, {"info", "in.raw"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(s.colours ? "Colours:  background 1, multicolour 1 2, multicolour 2 3\n"
                                       : "Colours:  not stored in this file\n"),
                  std::string::npos)
            << r.out;
        r = RunCli(dir, {"convert", "in.raw", "out.raw"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(fs::exists(dir.file("out.raw.inf")), s.colours);
        if (s.colours)
        {
            EXPECT_EQ(ReadBytes(dir.file("out.raw.inf")), (Bytes{1, 2, 3}));
        }
    }
}

// Messages that say what happened: the format a file's size does fit, empty names as
// usage errors, palettes that were skipped, and nothing from a file's contents or a
// file's name that could drive the terminal.
TEST(CliFaults, MessagesThatSayWhatHappened)
{
    TempFolder dir;
    Bank bank(3);
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("Untitled.spr").c_str()), 1); // a project under a raw name
    CliResult r = RunCli(dir, {"info", "Untitled.spr"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: Untitled.spr: not raw sprite data: raw data is 64 x n bytes for 1 to 256 "
              "sprites, this file is 195 bytes, which fits a project file (read it with --from project)\n");
    EXPECT_EQ(RunCli(dir, {"info", "--from", "project", "Untitled.spr"}).exitCode, 0);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", ""}, {"convert", "Untitled.spr", ""}, {"rip", "", "x.kmd"}})
    {
        r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "kelmora-cli: " + args[0] + ": a file name is empty");
    }

    // A name with an escape character: shown escaped, wherever it comes from.
    r = RunCli(dir, {"info", "bad\x1b[2J.kmd"});
    EXPECT_EQ(r.err, "kelmora-cli: bad\\x1B[2J.kmd: No such file or directory\n");
    std::string palettes;
    for (int i = 0; i < 22; ++i)
    {
        palettes += "\"p" + std::to_string(i) + (i == 1 ? "\x1b]0;owned\x07" : "") + "\"\n";
        for (int k = 0; k < 16; ++k)
            palettes += "#123456 ";
        palettes += "\n";
    }
    palettes += "\"broken\" #12 #34\n";
    WriteBytes(dir.file("many.pal"), Bytes(palettes.begin(), palettes.end()));
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("p.kmd").c_str()), 1);
    r = RunCli(dir, {"sheet", "p.kmd", "p.png", "--palette-file", "many.pal", "--palette", "nope"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x07'), std::string::npos) << r.err;
    EXPECT_NE(
        r.err.find(
            "kelmora-cli: warning: many.pal: 2 palettes after the first 20 skipped (no more are read)\n"),
        std::string::npos)
        << r.err;
    EXPECT_NE(
        r.err.find("kelmora-cli: warning: many.pal: 1 palette skipped for a missing or malformed #RRGGBB "
                   "colour\n"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("\"p1\\x1B]0;owned\\x07\""), std::string::npos) << r.err;

    // JSON holds valid UTF-8 for any file name: bytes 0xF5..0xFF are replaced.
    const std::string odd = std::string("n\xF5\x80\x80\xFF") + ".kmd";
    ASSERT_EQ(SaveProject(&bank.bank, dir.file(odd).c_str()), 1);
    r = RunCli(dir, {"info", "--json", odd});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"file\": \"n\\ufffd\\ufffd\\ufffd\\ufffd.kmd\""), std::string::npos) << r.out;
    for (unsigned char c : r.out)
        EXPECT_LT(c, 0x80); // the rest of this output is ASCII
}
