#include "ui/MainTitle.h"

#include "res/Texts.h"
#include "res/resource.h"

std::wstring BuildMainTitle() {
    std::wstring title;
    LoadText(title, IDS_STR_TITLE);
    ReplaceAll(title, kModelPlaceholder, kModelName);
    return title;
}
