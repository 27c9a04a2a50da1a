// The upper vector state: a library that leaves it dirty must not slow the store's
// floating-point loops (see core/VectorState.h).
#include "core/VectorState.h"

#include "core/Rotation.h"

#include <gtest/gtest.h>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#define KELMORA_TEST_XINUSE 1
#endif

using namespace kelmora;

namespace
{

#ifdef KELMORA_TEST_XINUSE
// The processor reports which register states are in use (XGETBV with ECX = 1), and the
// operating system has AVX on.
bool CanSeeUpperState()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
    if ((ecx & (1u << 27)) == 0 || (ecx & (1u << 28)) == 0) return false;
    unsigned low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6) != 6) return false;
    if (__get_cpuid_count(0xD, 1, &eax, &ebx, &ecx, &edx) == 0) return false;
    return (eax & (1u << 2)) != 0;
}

// Bit 2 of XINUSE: the upper halves of the YMM registers may hold data.
bool UpperStateDirty()
{
    unsigned low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
    return (low & 4) != 0;
}

// What a library returning without VZEROUPPER leaves: data in the upper half of a YMM
// register (YMM15, which the code under test does not write before it is checked).
void DirtyUpperState()
{
    __asm__ volatile("pcmpeqd %%xmm15, %%xmm15\n\tvinsertf128 $1, %%xmm15, %%ymm15, %%ymm15" ::: "xmm15");
}
#endif

} // namespace

TEST(VectorState, ClearedForTheRotatorAfterALibraryLeftItDirty)
{
#ifndef KELMORA_TEST_XINUSE
    GTEST_SKIP() << "the upper vector state is an x86 matter";
#else
    if (!CanSeeUpperState()) GTEST_SKIP() << "this processor does not report the upper vector state";

    DirtyUpperState();
    ASSERT_TRUE(UpperStateDirty());
    ClearUpperVectorState();
    EXPECT_FALSE(UpperStateDirty());

    // The rotator clears it before its loop, so it also leaves it clean.
    RotImage source;
    FillImage(source, 0x123456);
    DirtyUpperState();
    ASSERT_TRUE(UpperStateDirty());
    const RotImage turned = RotateImage(source, 360, 45, 0);
    EXPECT_FALSE(UpperStateDirty());
    EXPECT_EQ(turned.px[10][12], 0x123456u);
#endif
}
