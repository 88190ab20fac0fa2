// orvexsim: the console tool that installs the simulated ORVEX driver in a Wine prefix and
// plugs, scripts and inspects its units. See simulator/README.md.

#include "Commands.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Console text as UTF-8, whether it goes to a console or a pipe.
void Write(FILE* stream, const std::wstring& text) {
    if (text.empty()) return;
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    std::wstring out;
    std::wstring err;
    const int code = RunCommand(args, out, err);
    Write(stdout, out);
    Write(stderr, err);
    return code;
}
