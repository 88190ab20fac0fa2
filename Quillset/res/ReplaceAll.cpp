#include "res/Texts.h"

#include <cwchar>
#include <string_view>

// Two passes: count the occurrences, size the text once, then move the tail and copy each
// replacement in place. The search always resumes after the inserted text, so a replacement
// that contains the placeholder is never expanded again. A text may hold several runs separated
// by U+0000; occurrences are found in every run, and none can span a U+0000 because the
// placeholder, being terminated, holds none.
int ReplaceAll(std::wstring& text, const wchar_t* placeholder, const wchar_t* replacement) {
    if (placeholder == nullptr || *placeholder == L'\0') return 0;
    if (replacement == nullptr) replacement = L"";
    const std::wstring_view from(placeholder);
    const std::wstring_view to(replacement);

    int count = 0;
    for (size_t hit = text.find(from); hit != std::wstring::npos;
         hit = text.find(from, hit + from.size())) {
        ++count;
    }
    if (count == 0) return 0;

    const size_t oldLength = text.size();
    const size_t newLength = oldLength - from.size() * count + to.size() * count;
    if (newLength > oldLength) text.resize(newLength);

    size_t length = oldLength;
    size_t searchFrom = 0;
    for (;;) {
        const size_t hit = std::wstring_view(text.data(), length).find(from, searchFrom);
        if (hit == std::wstring_view::npos) break;
        const size_t tail = length - hit - from.size();
        std::wmemmove(&text[hit + to.size()], &text[hit + from.size()], tail);
        std::wmemcpy(&text[hit], to.data(), to.size());
        length = length - from.size() + to.size();
        searchFrom = hit + to.size();
    }
    text.resize(newLength);
    return count;
}
