#pragma once
// Random bits from the processor's own generator (RDSEED or RDRAND), where CPUID reports one.
// Needs no library, so the program's entry can use it before the C runtime starts.

#include <cstdint>

// 64 random bits in value; false when the processor has neither instruction or its generator
// gave nothing within the retries its maker documents.
bool ProcessorRandom64(std::uint64_t& value);

// Some processors have answered "success" with all bits clear or set after a resume from
// sleep; neither is taken as random.
bool IsPlausibleRandom(std::uint64_t value);
void PauseBeforeRetry();

// Calls one instruction's step (true when it gave bits into *drawn) up to tries times, with a
// pause between tries, and takes the first plausible value.
template <typename Step>
bool DrawPlausibleRandom(Step step, int tries, std::uint64_t& value) {
    for (int i = 0; i < tries; ++i) {
        unsigned long long drawn = 0;
        if (step(&drawn) && IsPlausibleRandom(drawn)) {
            value = drawn;
            return true;
        }
        PauseBeforeRetry();
    }
    return false;
}
