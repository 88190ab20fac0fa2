#pragma once
// The driver's README document: the installation folder from the driver key joined with the
// language's relative path (string 33095).

#include <string>

// The README path, or the empty text when the folder is missing or empty or the string
// can't be loaded.
std::wstring GetReadmePath();

// True when path names an existing entry that is not a directory.
bool IsExistingFile(const std::wstring& path);

bool IsReadmeAvailable();

// A click on a README button: opens the document when it exists, silently otherwise.
void OnShowReadme();
