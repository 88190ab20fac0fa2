#include "framework/StepMarks.h"

namespace {

// Set once by OpenStepMarks in the entry, before the C runtime and before any other thread;
// read-only afterwards. Plain data: the entry runs before any constructor would.
StepMarksBlock* block = nullptr;

std::size_t IndexOf(StepMark step) { return static_cast<std::size_t>(step); }
std::size_t IndexOf(StepSpan span) { return static_cast<std::size_t>(span); }

}  // namespace

void StepMarksName(DWORD processId, wchar_t (&name)[48]) {
    // Built by hand: the entry calls this before the C runtime has started.
    static const wchar_t prefix[] = L"Local\\Quillset.StepMarks.";
    std::size_t length = 0;
    for (; prefix[length] != L'\0'; ++length) name[length] = prefix[length];
    wchar_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + processId % 10);
        processId /= 10;
    } while (processId != 0);
    while (count > 0) name[length++] = digits[--count];
    name[length] = L'\0';
}

void OpenStepMarks() {
    wchar_t name[48];
    StepMarksName(::GetCurrentProcessId(), name);
    const HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (mapping == nullptr) return;
    void* view = ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StepMarksBlock));
    // The view keeps the section; the handle is not needed past this point.
    ::CloseHandle(mapping);
    auto* found = static_cast<StepMarksBlock*>(view);
    if (found != nullptr && found->version != kStepMarksVersion) {
        ::UnmapViewOfFile(view);
        found = nullptr;
    }
    block = found;
}

bool StepMarksWanted() { return block != nullptr; }

std::int64_t StepCounter() {
    if (block == nullptr) return 0;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void MarkStep(StepMark step) { MarkStepAt(step, StepCounter()); }

void MarkStepAt(StepMark step, std::int64_t counter) {
    if (block == nullptr || block->at[IndexOf(step)] != 0) return;
    block->at[IndexOf(step)] = counter;
}

void AddSpan(StepSpan span, std::int64_t from) {
    if (block == nullptr) return;
    const std::size_t phase = block->at[IndexOf(StepMark::OkBegins)] != 0 ? 1 : 0;
    ::InterlockedExchangeAdd64(&block->spent[IndexOf(span)][phase], StepCounter() - from);
    ::InterlockedIncrement64(&block->spans[IndexOf(span)][phase]);
}
