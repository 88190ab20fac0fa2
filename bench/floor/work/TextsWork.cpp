// The program's string loads while its settings dialog initialises: the title with the model
// name put in, the version line's pattern, and the captions of the controls the dialog has, each
// set on its control, from the program's own string table in eight languages.
#include "ProgramWork.h"

#include "res/Texts.h"
#include "res/resource.h"
#include "ui/MainTitle.h"

#include <string>

namespace {

// The captions of the settings dialog's controls: the group box, the check box, README, OK and
// Cancel.
constexpr struct {
    int control;
    UINT text;
} kCaptions[] = {
    {IDC_MIDI_IN_GROUP, IDS_GRP_MIDI_IN_TYPE}, {IDC_LIGHT_LOAD, IDS_BN_MIDI_IN_TYPE},
    {IDC_README, IDS_README}, {IDOK, IDS_OK}, {IDCANCEL, IDS_CANCEL},
};

}  // namespace

void LoadTexts(HWND dialog) {
    ::SetWindowTextW(dialog, BuildMainTitle().c_str());
    std::wstring text;
    LoadText(text, IDS_PROP_VER);
    for (const auto& caption : kCaptions)
        if (LoadText(text, caption.text)) ::SetDlgItemTextW(dialog, caption.control, text.c_str());
}
