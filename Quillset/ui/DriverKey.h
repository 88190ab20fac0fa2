#pragma once
// The values that the driver's installer leaves under
// HKEY_CLASSES_ROOT\CLSID\{5E2B7C41-3D90-4f6a-B8C2-7A15D04E9F36}\KZID0410.

#include <string>

// A value of 360 bytes or more, as the registry reports its size, counts as missing.
inline constexpr unsigned long kDriverValueBufferBytes = 360;

// Reads value name (null: the default value) as wide text, whatever its registry type and
// without expanding references. The text ends at its first null, or with the last whole
// character the value holds when it has none. False when the key or the value is missing,
// too large or unreadable; text is then left alone.
bool ReadDriverKeyValue(const wchar_t* name, std::wstring& text);
