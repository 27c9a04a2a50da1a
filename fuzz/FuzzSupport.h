// Shared pieces of the fuzz targets: a fixed input file per process, a bank with a
// known pattern to compare against, and a check that stops the run loudly.
#pragma once

#include "core/SpriteBankStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmora_fuzz
{

using Bytes = std::vector<std::uint8_t>;

// Stops the run with a message; libFuzzer then saves the input as a crash.
#define FUZZ_CHECK(condition)                                                                                \
    do                                                                                                       \
    {                                                                                                        \
        if (!(condition))                                                                                    \
        {                                                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// A folder of this process in memory (/dev/shm) or else under /tmp; the readers see
// real files in it. Rewriting a file on a disk on every run would make the disk, not
// the reader, the bottleneck. The folder is removed when the run ends.
inline const std::string& WorkFolder()
{
    static const std::string folder = []
    {
        const std::string name = "/kelmora-fuzz-" + std::to_string(getpid());
        std::string path = "/dev/shm" + name;
        if (mkdir(path.c_str(), 0700) != 0)
        {
            path = "/tmp" + name;
            mkdir(path.c_str(), 0700);
        }
        return path;
    }();
    static const bool cleanup = []
    {
        std::atexit(
            []
            {
                std::error_code ignored;
                std::filesystem::remove_all(WorkFolder(), ignored);
            });
        return true;
    }();
    (void)cleanup;
    return folder;
}

inline std::string WorkFile(const char* name)
{
    return WorkFolder() + "/" + name;
}

// Replaces path with exactly size bytes (plain write: the readers are under test, not the writers).
inline void PutFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    std::size_t done = 0;
    while (done < size)
    {
        const ssize_t n = write(fd, data + done, size - done);
        FUZZ_CHECK(n > 0);
        done += static_cast<std::size_t>(n);
    }
    FUZZ_CHECK(close(fd) == 0);
}

// A bank whose every byte is known, so "nothing changed" can be checked byte for byte.
struct FuzzBank
{
    Bytes block;
    kelmora::SpriteBank bank{};

    FuzzBank() : block(Pattern()) { bank = kelmora::SpriteBank{17, 11, 2, 9, 14, block.data(), 4, 3, 6, 1}; }

    static const Bytes& Pattern()
    {
        static const Bytes pattern = []
        {
            Bytes p(kelmora::kBlockBytes);
            for (std::size_t i = 0; i < p.size(); ++i)
                p[i] = static_cast<std::uint8_t>((i * 37 + 11) % 253);
            return p;
        }();
        return pattern;
    }
    FuzzBank(const FuzzBank&) = delete;
    FuzzBank& operator=(const FuzzBank&) = delete;

    // The bank as every test starts it, to compare against.
    static const FuzzBank& Reference()
    {
        static const FuzzBank reference;
        return reference;
    }

    bool SameAs(const FuzzBank& o) const
    {
        const kelmora::SpriteBank &x = bank, &y = o.bank;
        return x.spriteCount == y.spriteCount && x.colourTransp == y.colourTransp &&
               x.colourMulti1 == y.colourMulti1 && x.colourSprite == y.colourSprite &&
               x.colourMulti2 == y.colourMulti2 && x.sprites == block.data() &&
               x.currentSprite == y.currentSprite && x.rangeStart == y.rangeStart &&
               x.rangeEnd == y.rangeEnd && x.currentPen == y.currentPen && block == o.block;
    }

    // Slots from..255 hold cleared sprites: 63 zero bytes and attribute 133.
    bool ClearedFrom(int from) const
    {
        for (int slot = from; slot < kelmora::kSlotCount; ++slot)
        {
            const std::uint8_t* s = block.data() + slot * kelmora::kSpriteBytes;
            for (int i = 0; i < kelmora::kPixelBytes; ++i)
                if (s[i] != 0) return false;
            if (s[kelmora::kAttributeByte] != kelmora::kDefaultAttribute) return false;
        }
        return true;
    }

    // What a load never touches: the sprite colour, the selection and the pen.
    bool EditingStateKept(const FuzzBank& o) const
    {
        return bank.colourSprite == o.bank.colourSprite && bank.currentSprite == o.bank.currentSprite &&
               bank.rangeStart == o.bank.rangeStart && bank.rangeEnd == o.bank.rangeEnd &&
               bank.currentPen == o.bank.currentPen && bank.sprites == block.data();
    }
};

} // namespace kelmora_fuzz
