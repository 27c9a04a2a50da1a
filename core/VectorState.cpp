// VZEROUPPER behind a run-time check for AVX (see VectorState.h for why it is needed).
#include "core/VectorState.h"

#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
#define KELMORA_X86 1
#include <immintrin.h>
#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace kelmora
{

#ifdef KELMORA_X86
namespace
{

// AVX instructions run only when the processor has them (CPUID.1:ECX bit 28) and the
// operating system saves the YMM registers (OSXSAVE, bit 27, and bits 1 and 2 of XCR0).
bool AvxUsable()
{
    unsigned ecx = 0;
#if defined(_MSC_VER)
    int info[4] = {};
    __cpuid(info, 1);
    ecx = static_cast<unsigned>(info[2]);
#else
    unsigned eax = 0, ebx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
#endif
    constexpr unsigned kOsXsave = 1u << 27;
    constexpr unsigned kAvx = 1u << 28;
    if ((ecx & kOsXsave) == 0 || (ecx & kAvx) == 0) return false;
#if defined(_MSC_VER)
    const unsigned long long xcr0 = _xgetbv(0);
#else
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    const unsigned long long xcr0 = (static_cast<unsigned long long>(high) << 32) | low;
#endif
    return (xcr0 & 6) == 6;
}

const bool kAvxUsable = AvxUsable();

#if defined(_MSC_VER)
void ZeroUpper()
{
    _mm256_zeroupper();
}
#else
// Compiled for AVX on its own; called only after the check above.
__attribute__((target("avx"))) void ZeroUpper()
{
    _mm256_zeroupper();
}
#endif

} // namespace
#endif

void ClearUpperVectorState()
{
#ifdef KELMORA_X86
    if (kAvxUsable) ZeroUpper();
#endif
}

} // namespace kelmora
