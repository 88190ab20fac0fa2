#pragma once

#include <string>

// The title of both dialogs, which a second copy of the program also searches for: string
// 33088 with the model name in place of "__MODEL__". Empty when the string can't be loaded.
std::wstring BuildMainTitle();
