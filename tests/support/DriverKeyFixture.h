#pragma once
// Writes the driver's registry key for a test and removes it again. Under Wine
// HKEY_CLASSES_ROOT shows HKLM\Software\Classes only, so the key is written there.

#include <windows.h>

#include <string>
#include <vector>

class DriverKeyFixture {
public:
    DriverKeyFixture();   // starts without the key
    ~DriverKeyFixture();  // removes it
    DriverKeyFixture(const DriverKeyFixture&) = delete;
    DriverKeyFixture& operator=(const DriverKeyFixture&) = delete;

    // Creates the key when it is not there yet. name null: the default value.
    bool CreateKey();
    bool SetBytes(const wchar_t* name, DWORD type, const void* bytes, DWORD size);
    // A REG_SZ with its terminating null.
    bool SetText(const wchar_t* name, const std::wstring& text);
    void RemoveKey();
};

// A folder of its own under the temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::wstring& Path() const { return path; }
    // Creates the folders on the way and a small file at relative.
    bool CreateFileAt(const std::wstring& relative);
    bool CreateFolderAt(const std::wstring& relative);

private:
    std::wstring path;
};

// Reads a whole UTF-16 file; empty when it can't be read.
std::wstring ReadWideFile(const std::wstring& path);
// Waits until the file holds some text, such as a handler's record of what it opened, for at
// most timeoutMs; what it holds then.
std::wstring WaitForWideFile(const std::wstring& path, unsigned long timeoutMs);
