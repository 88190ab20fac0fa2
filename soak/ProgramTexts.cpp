#include "ProgramTexts.h"

#include "framework/UniqueHandle.h"
#include "res/resource.h"

namespace {

constexpr UINT kMessageIds[] = {IDS_CONF_WAVE, IDS_CONF_MIDI};

}  // namespace

bool ProgramTexts::Load(const std::wstring& programPath, std::string& error) {
    UniqueModule module(::LoadLibraryExW(programPath.c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) {
        error = "cannot load the program's resources (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    for (UINT id : {IDS_CONF_WAVE, IDS_CONF_MIDI, IDS_APP_TITLE}) {
        // With a zero size LoadStringW hands out a pointer into the resource itself.
        const wchar_t* entry = nullptr;
        const int length = ::LoadStringW(module.Get(), id, reinterpret_cast<LPWSTR>(&entry), 0);
        if (length <= 0 || !entry) {
            error = "string " + std::to_string(id) + " is not in the program";
            return false;
        }
        texts[id].assign(entry, static_cast<std::size_t>(length));
    }
    return true;
}

std::wstring ProgramTexts::Text(UINT id) const {
    const auto found = texts.find(id);
    return found == texts.end() ? std::wstring() : found->second;
}

UINT ProgramTexts::IdOfMessage(const std::wstring& text) const {
    for (UINT id : kMessageIds)
        if (const auto found = texts.find(id); found != texts.end() && found->second == text)
            return id;
    return 0;
}
