// kelmora-cli's writers when the write fails: a full disk (a child with a small file
// size limit, so writes fail with EFBIG), a folder the user may not
// write to (a child without root's rights), and a path under a regular file. Each output
// of convert, listing and sheet must exit with 1, name the file on stderr, and leave the
// older file as it was, with no temporary file beside it.
#include "CliTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelmora;
using namespace kelmora_cli_test;

extern char** environ;

namespace
{

// How the child runs: limits are set between fork and exec, so they hold for the
// tool alone.
struct Limits
{
    long fileSize = -1;        // RLIMIT_FSIZE in bytes; -1 leaves it
    bool unprivileged = false; // run as nobody (65534) when the suite runs as root
};

std::string ReadPipe(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;)
    {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return text;
}

// Runs the tool in folder with args under limits. Output goes through pipes, which the
// file size limit does not cover.
CliResult RunLimited(const TempFolder& folder, const std::vector<std::string>& args, const Limits& limits)
{
    int out[2], err[2];
    CliResult result;
    if (pipe(out) != 0 || pipe(err) != 0) return result;
    std::vector<std::string> env{"XDG_DATA_HOME=/nonexistent", "XDG_DATA_DIRS=/nonexistent"};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "XDG_DATA_", 9) != 0) env.emplace_back(*e);
    std::vector<char*> envp, argv;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = KELMORA_CLI_PATH;
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string where = folder.path().string();

    const pid_t child = fork();
    if (child == 0)
    {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(out[0]);
        close(err[0]);
        close(out[1]);
        close(err[1]);
        if (chdir(where.c_str()) != 0) _exit(126);
        if (limits.fileSize >= 0)
        {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(limits.fileSize), static_cast<rlim_t>(limits.fileSize)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
        }
        if (limits.unprivileged && geteuid() == 0)
        {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(124);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (child < 0)
    {
        close(out[0]);
        close(err[0]);
        return result;
    }
    result.out = ReadPipe(out[0]);
    result.err = ReadPipe(err[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Every file of a folder (hidden ones too) with its bytes.
std::map<std::string, Bytes> Contents(const fs::path& folder)
{
    std::map<std::string, Bytes> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? ReadBytes(entry.path().string()) : Bytes{};
    return files;
}

// One written output: the command line that writes out/NAME and the older files there.
struct Output
{
    std::string name;                 // written into the output folder
    std::vector<std::string> options; // after "COMMAND in.kmd out/NAME"
    std::string command;
    bool withSideFile = false; // raw data with its .inf beside it
};

const Output kOutputs[] = {
    {"x.kmd", {}, "convert"},
    {"x.raw", {}, "convert", true},
    {"y.raw", {"--no-inf"}, "convert"},
    {"x.prg", {"--load-address", "c000"}, "convert"},
    {"x.a", {}, "convert"},
    {"plain.txt", {"--hex"}, "listing"},
    {"acme.asm", {"--dialect", "acme", "--label", "sprites"}, "listing"},
    {"x.png", {"--scale", "2"}, "sheet"},
    {"x.bmp", {}, "sheet"},
};

// The output folder "out" with an older file for every output, and the input in.kmd.
struct Scene
{
    TempFolder dir;
    Bank bank{6};
    std::map<std::string, Bytes> before;

    Scene()
    {
        EXPECT_EQ(SaveProject(&bank.bank, dir.file("in.kmd").c_str()), 1);
        fs::create_directory(dir.path() / "out");
        int seed = 1;
        for (const Output& o : kOutputs)
        {
            WriteBytes(dir.file("out/" + o.name), Bytes(40 + seed, static_cast<std::uint8_t>(seed)));
            if (o.withSideFile) WriteBytes(dir.file("out/" + o.name + ".inf"), Bytes{1, 2, 3});
            ++seed;
        }
        before = Contents(dir.path() / "out");
    }

    std::vector<std::string> Args(const Output& o, const std::string& folder = "out") const
    {
        std::vector<std::string> args{o.command, "in.kmd", folder + "/" + o.name, "--force"};
        args.insert(args.end(), o.options.begin(), o.options.end());
        return args;
    }
};

void ExpectRefusedWrite(const CliResult& r, const std::string& path, const Output& o)
{
    SCOPED_TRACE(o.command + " " + o.name);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string prefix = "kelmora-cli: " + path + ": ";
    EXPECT_EQ(r.err.compare(0, prefix.size(), prefix), 0) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

} // namespace

// The disk fills after 100 bytes: every output is bigger than that.
TEST(CliWriteFaults, FullDiskKeepsEveryOlderFile)
{
    Scene scene;
    for (const Output& o : kOutputs)
    {
        const CliResult r = RunLimited(scene.dir, scene.Args(o), Limits{100, false});
        ExpectRefusedWrite(r, "out/" + o.name, o);
        EXPECT_NE(r.err.find(": not written: File too large"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Contents(scene.dir.path() / "out"), scene.before);

    // The same commands without the limit do replace the files (the limit was the cause).
    for (const Output& o : kOutputs)
        EXPECT_EQ(RunLimited(scene.dir, scene.Args(o), Limits{}).exitCode, 0) << o.name;
    const auto after = Contents(scene.dir.path() / "out");
    for (const Output& o : kOutputs)
        EXPECT_NE(after.at(o.name), scene.before.at(o.name)) << o.name;
}

// A folder the user may read but not write, holding the older files.
TEST(CliWriteFaults, FolderWithoutWriteAccessKeepsEveryOlderFile)
{
    Scene scene;
    const fs::path out = scene.dir.path() / "out";
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    if (geteuid() == 0)
    {
        // Can this process give up root at all (a container may forbid it), and can the
        // unprivileged user still reach the tool (a checkout under /root is closed to it)?
        const pid_t probe = fork();
        if (probe == 0)
            _exit(setgid(65534) == 0 && setuid(65534) == 0 && access(KELMORA_CLI_PATH, X_OK) == 0 ? 0 : 1);
        int status = 0;
        waitpid(probe, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        {
            fs::permissions(out, fs::perms::owner_all, fs::perm_options::add);
            GTEST_SKIP() << "cannot run the tool as an unprivileged user here";
        }
    }
    for (const Output& o : kOutputs)
    {
        const CliResult r = RunLimited(scene.dir, scene.Args(o), Limits{-1, true});
        ExpectRefusedWrite(r, "out/" + o.name, o);
        EXPECT_NE(r.err.find(": not written: Permission denied"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Contents(out), scene.before);
    fs::permissions(out, fs::perms::owner_all, fs::perm_options::add);
}

// Even root cannot write under a regular file; the file standing there is untouched.
TEST(CliWriteFaults, PathUnderARegularFile)
{
    Scene scene;
    WriteBytes(scene.dir.file("plain"), Bytes{'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'});
    for (const Output& o : kOutputs)
    {
        const CliResult r = RunLimited(scene.dir, scene.Args(o, "plain"), Limits{});
        ExpectRefusedWrite(r, "plain/" + o.name, o);
        EXPECT_NE(r.err.find("plain is not a folder"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadText(scene.dir.file("plain")), "not a folder");
    EXPECT_EQ(Contents(scene.dir.path() / "out"), scene.before);
}
