// Helpers shared by the sprite bank store suites.
#pragma once

#include "core/SpriteBankStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <process.h>
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kelmora
{
// Sequences in failure messages as they read in a side file.
inline void PrintTo(const Sequence& sequence, std::ostream* out)
{
    ProjectExtras extras;
    extras.sequences.push_back(sequence);
    *out << SerialiseProjectExtras(extras);
}
} // namespace kelmora

namespace kelmora_test
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Character devices: every reader refuses them; a writer writes to them as they are.
// The endless one would never end a read that did not refuse it.
#ifdef _WIN32
inline const std::string kNullDevice = "NUL";
inline const std::string kEndlessDevice = "NUL";
#else
inline const std::string kNullDevice = "/dev/null";
inline const std::string kEndlessDevice = "/dev/zero";
#endif

inline long ProcessId()
{
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder
{
  public:
    TempFolder()
    {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("kelmora-core-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++));
        RemoveTree(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { RemoveTree(path_); }
    const fs::path& path() const { return path_; }
    // UTF-8, as the store takes paths (on Windows too).
    std::string file(const std::string& name) const { return (path_ / fs::u8path(name)).u8string(); }
    std::vector<std::string> entries() const // hidden ones included, sorted
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    static void RemoveTree(const fs::path& path)
    {
#ifdef _WIN32
        // Tests make paths longer than Windows' classic limit of 260 characters, which the
        // standard library cannot remove; the system can, given their "\\?\" form.
        RemoveLongTree(L"\\\\?\\" + fs::absolute(path).wstring());
#else
        std::error_code ec;
        fs::remove_all(path, ec);
#endif
    }
#ifdef _WIN32
    static void RemoveLongTree(const std::wstring& path)
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE)
        {
            do
            {
                const std::wstring name = found.cFileName, child = path + L"\\" + name;
                if (name == L"." || name == L"..") continue;
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL); // read-only ones too
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                    RemoveLongTree(child);
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path.c_str());
    }
#endif

    fs::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& data)
{
    std::ofstream(fs::u8path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes that differ from their neighbours, so shifted or misplaced data shows.
inline Bytes Pattern(std::size_t size, unsigned seed = 7)
{
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>((i * 31 + seed) % 251);
    return data;
}

// A bank with its own patterned block; two of them compare equal field by field.
struct TestBank
{
    Bytes block = Pattern(kelmora::kBlockBytes, 3);
    kelmora::SpriteBank bank{17, 11, 2, 9, 14, nullptr, 4, 3, 6, 1};
    TestBank() { bank.sprites = block.data(); }
    TestBank(const TestBank&) = delete;
    bool operator==(const TestBank& o) const
    {
        const kelmora::SpriteBank &x = bank, &y = o.bank;
        return x.spriteCount == y.spriteCount && x.colourTransp == y.colourTransp &&
               x.colourMulti1 == y.colourMulti1 && x.colourSprite == y.colourSprite &&
               x.colourMulti2 == y.colourMulti2 && x.currentSprite == y.currentSprite &&
               x.rangeStart == y.rangeStart && x.rangeEnd == y.rangeEnd && x.currentPen == y.currentPen &&
               block == o.block;
    }
};

// A sprites block with guard bytes on both sides, to catch writes outside it.
struct GuardedBlock
{
    static constexpr std::size_t kGuard = 256;
    Bytes storage = Bytes(kGuard + kelmora::kBlockBytes + kGuard, 0xA5);
    std::uint8_t* block() { return storage.data() + kGuard; }
    std::uint8_t* slot(int i) { return block() + i * 64; }
    bool GuardsIntact() const
    {
        return std::all_of(storage.begin(), storage.begin() + kGuard, [](auto b) { return b == 0xA5; }) &&
               std::all_of(storage.end() - kGuard, storage.end(), [](auto b) { return b == 0xA5; });
    }
};

#ifndef _WIN32
// Runs fn in a child process in which no file may grow beyond limit bytes, as on a
// full disk: with SIGXFSZ ignored, writes past it fail with EFBIG. Returns fn's result.
inline int RunWithFileSizeLimit(rlim_t limit, const std::function<int()>& fn)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{limit, limit};
        _exit(setrlimit(RLIMIT_FSIZE, &r) != 0 ? 255 : fn() + 2);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1000;
    return WEXITSTATUS(status) - 2;
}
#endif

inline std::string RealSprite(const std::string& name)
{
    return std::string(KELMORA_REALDATA_DIR) + "/sprites/" + name;
}

} // namespace kelmora_test
