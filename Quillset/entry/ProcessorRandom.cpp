// Built with -mrdrnd -mrdseed (entry/CMakeLists.txt) so the intrinsics compile; they run
// only after CPUID has reported the instruction.
#include "entry/ProcessorRandom.h"

#include <immintrin.h>

#ifdef _MSC_VER
#include <intrin.h>
#else
#include <cpuid.h>
#endif

namespace {

constexpr unsigned kRdrandBit = 1u << 30;  // CPUID leaf 1, ECX
constexpr unsigned kRdseedBit = 1u << 18;  // CPUID leaf 7 subleaf 0, EBX
// Intel: RDRAND fails only when the generator is drained, and ten tries make a failure
// practically a broken generator. RDSEED refills slower, so it gets more tries; each try
// after a failure waits a moment.
constexpr int kRdrandTries = 10;
constexpr int kRdseedTries = 100;

struct CpuidRegisters {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// CPUID for a leaf and subleaf; false when the processor has no such leaf.
bool Cpuid(unsigned leaf, unsigned subleaf, CpuidRegisters& out) {
#ifdef _MSC_VER
    int regs[4] = {};
    __cpuid(regs, static_cast<int>(leaf & 0x80000000u));
    if (static_cast<unsigned>(regs[0]) < leaf) return false;
    __cpuidex(regs, static_cast<int>(leaf), static_cast<int>(subleaf));
    out = {static_cast<unsigned>(regs[0]), static_cast<unsigned>(regs[1]),
           static_cast<unsigned>(regs[2]), static_cast<unsigned>(regs[3])};
    return true;
#else
    return __get_cpuid_count(leaf, subleaf, &out.eax, &out.ebx, &out.ecx, &out.edx) != 0;
#endif
}

}  // namespace

bool IsPlausibleRandom(std::uint64_t value) { return value != 0 && value != ~std::uint64_t{0}; }

void PauseBeforeRetry() { _mm_pause(); }

bool ProcessorRandom64(std::uint64_t& value) {
    CpuidRegisters regs;
    const auto rdseed = [](unsigned long long* drawn) { return _rdseed64_step(drawn); };
    const auto rdrand = [](unsigned long long* drawn) { return _rdrand64_step(drawn); };
    if (Cpuid(7, 0, regs) && (regs.ebx & kRdseedBit) &&
        DrawPlausibleRandom(rdseed, kRdseedTries, value))
        return true;
    return Cpuid(1, 0, regs) && (regs.ecx & kRdrandBit) &&
           DrawPlausibleRandom(rdrand, kRdrandTries, value);
}
