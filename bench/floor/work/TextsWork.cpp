// The program's string loads while its settings dialog initialises: the title with the model
// name put in, the version line's pattern and the captions of the dialog's controls, from the
// program's own string table in eight languages.
#include "ProgramWork.h"

#include "res/Texts.h"
#include "res/resource.h"
#include "ui/MainTitle.h"

#include <string>

namespace {

constexpr UINT kLoadedTexts[] = {
    IDS_PROP_VER,        IDS_GRP_MIDI_IN_TYPE, IDS_BN_MIDI_IN_TYPE,  IDS_GRP_BUF_SIZE,
    IDS_ABB_MIN,         IDS_ABB_MAX,          IDS_GRP_STREAMING,    IDS_STATIC_REALTIME,
    IDS_STATIC_STABILITY, IDS_GRP_ASIO,        IDS_BN_ASIO_MON,      IDS_BN_ASIO_SMALLER,
    IDS_STATIC_STEINBERG, IDS_GRP_AUDIO_PORT,  IDS_BN_MULTI_WDM,     IDS_GRP_DIGITAL_OUT,
    IDS_BN_AC3,          IDS_README,           IDS_OK,               IDS_CANCEL,
    IDS_APPLY,
};

}  // namespace

void LoadTexts(HWND dialog) {
    ::SetWindowTextW(dialog, BuildMainTitle().c_str());
    std::wstring text;
    for (UINT id : kLoadedTexts) LoadText(text, id);
}
