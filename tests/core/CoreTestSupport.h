// Small helpers shared by the sprite bank store suites: a fresh temporary folder,
// whole-file reads and writes, and a bank whose every byte can be compared.
#pragma once

#include "core/SpriteBankStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelmora_test
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed again at the end.
class TempFolder
{
public:
    TempFolder()
    {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("kelmora-core-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
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
    // Every entry of the folder, hidden ones included.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes 0, 1, 2, ... of the given length, each distinct modulo 251 so that shifts show.
inline Bytes Pattern(std::size_t size, unsigned seed = 7)
{
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>((i * 31 + seed) % 251);
    return data;
}

// A bank with its own block, filled with a recognisable pattern in every slot.
struct TestBank
{
    Bytes block = Pattern(kelmora::kBlockBytes, 3);
    kelmora::SpriteBank bank{};

    TestBank()
    {
        bank.spriteCount = 17;
        bank.colourTransp = 11;
        bank.colourMulti1 = 2;
        bank.colourSprite = 9;
        bank.colourMulti2 = 14;
        bank.sprites = block.data();
        bank.currentSprite = 4;
        bank.rangeStart = 3;
        bank.rangeEnd = 6;
        bank.currentPen = 1;
    }
    TestBank(const TestBank&) = delete;
    TestBank& operator=(const TestBank&) = delete;
};

// True when every field of the record and every byte of its block match.
inline bool SameBank(const TestBank& a, const TestBank& b)
{
    const kelmora::SpriteBank& x = a.bank;
    const kelmora::SpriteBank& y = b.bank;
    return x.spriteCount == y.spriteCount && x.colourTransp == y.colourTransp &&
           x.colourMulti1 == y.colourMulti1 && x.colourSprite == y.colourSprite &&
           x.colourMulti2 == y.colourMulti2 && x.currentSprite == y.currentSprite &&
           x.rangeStart == y.rangeStart && x.rangeEnd == y.rangeEnd && x.currentPen == y.currentPen &&
           a.block == b.block;
}

// A sprites block with guard bytes on both sides, to see writes outside the block.
struct GuardedBlock
{
    static constexpr std::size_t kGuard = 256;
    Bytes storage = Bytes(kGuard + kelmora::kBlockBytes + kGuard, 0xA5);
    std::uint8_t* block() { return storage.data() + kGuard; }
    bool GuardsIntact() const
    {
        for (std::size_t i = 0; i < kGuard; ++i)
        {
            if (storage[i] != 0xA5 || storage[storage.size() - 1 - i] != 0xA5)
                return false;
        }
        return true;
    }
};

// Runs fn in a child process in which no file may grow beyond limit bytes, as on a
// full disk: writes past it fail with EFBIG instead of raising SIGXFSZ. Returns fn's
// result (-1..253), or -1000 when the child did not exit normally.
inline int RunWithFileSizeLimit(rlim_t limit, const std::function<int()>& fn)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &r) != 0)
            _exit(255);
        _exit(fn() + 2);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1000;
    return WEXITSTATUS(status) - 2;
}

inline std::string RealSprite(const std::string& name)
{
    return std::string(KELMORA_REALDATA_DIR) + "/sprites/" + name;
}

} // namespace kelmora_test
