// Helpers of the kelmora-cli suites: a fresh temporary folder, whole-file reads and
// writes, a bank whose sprites differ in every byte, and running the built tool.
#pragma once

#include "core/SpriteBankStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace kelmora_cli_test
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TempFolder
{
  public:
    TempFolder()
    {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("kelmora-cli-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& path)
{
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text)
{
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

// A bank with its own block. Sprites differ in every byte, and their attribute
// bytes cover multicolour and hires, the overlay flag and the meaningless bits 6-5.
struct Bank
{
    Bytes block = Bytes(kelmora::kBlockBytes);
    kelmora::SpriteBank bank{};

    explicit Bank(int count = 5)
    {
        kelmora::ClearBank(block.data());
        for (int i = 0; i < count * kelmora::kSpriteBytes; ++i)
            block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 37 + 11) % 253);
        static const std::uint8_t attributes[] = {0x85, 0x9E, 0x07, 0x6A, 0x10, 0x8C, 0x01};
        for (int i = 0; i < count; ++i)
            block[static_cast<std::size_t>(i * 64 + 63)] = attributes[i % 7];
        bank.spriteCount = count;
        bank.colourTransp = 6;
        bank.colourMulti1 = 2;
        bank.colourSprite = 5;
        bank.colourMulti2 = 9;
        bank.sprites = block.data();
    }
    Bank(const Bank&) = delete;
    Bank& operator=(const Bank&) = delete;
};

struct CliResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the tool in folder with these arguments (and an environment prefix such as
// "XDG_DATA_HOME=/x "); its own data folders are pointed at nowhere so a palettes.pal
// installed on the machine plays no part.
inline CliResult RunCli(const TempFolder& folder, const std::vector<std::string>& args,
                        const std::string& program = KELMORA_CLI_PATH)
{
    const std::string out = folder.file(".stdout"), err = folder.file(".stderr");
    std::string command = "cd " + ShellQuote(folder.path().string()) +
                          " && XDG_DATA_HOME=/nonexistent XDG_DATA_DIRS=/nonexistent " + ShellQuote(program);
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

// True when a program of this name is on the PATH.
inline bool HaveTool(const std::string& name)
{
    return std::system(("command -v " + ShellQuote(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command in folder; true when it exits with 0.
inline bool Shell(const TempFolder& folder, const std::string& command)
{
    const std::string full = "cd " + ShellQuote(folder.path().string()) + " && " + command + " >" +
                             ShellQuote(folder.file(".shell")) + " 2>&1";
    const bool ok = std::system(full.c_str()) == 0;
    if (!ok) ADD_FAILURE() << command << "\n" << ReadText(folder.file(".shell"));
    return ok;
}

inline std::string RealData(const std::string& relative)
{
    return std::string(KELMORA_REALDATA_DIR) + "/" + relative;
}

} // namespace kelmora_cli_test
