#pragma once
// Random bits from the processor's own generator (RDSEED or RDRAND), where CPUID reports one.
// Needs no library, so the program's entry can use it before the C runtime starts.

#include <cstdint>

// 64 random bits in value; false when the processor has neither instruction or its generator
// gave nothing within the retries its maker documents.
bool ProcessorRandom64(std::uint64_t& value);
