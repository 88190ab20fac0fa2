#pragma once
// The application base. The program has exactly one application object, a global; building it
// registers it, and the process entry hands over to its start-up operation.

#include <windows.h>

#include <string>

class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The one application object, or null before it is built.
    static CApplication* Get();

    // Called once by the process entry. Loads the title, then runs InitInstance; the program
    // ends as soon as this returns, whatever InitInstance reported.
    int Run(HINSTANCE instance);

    HINSTANCE GetInstance() const { return instance; }
    // String 57344, or the executable's file name without folder and extension.
    const std::wstring& GetAppTitle() const { return title; }

    // The help command (F1). The program carries no help content, so nothing opens.
    void OnHelp() {}

protected:
    // Start-up. True would ask for a message loop; the framework offers none, so the program
    // ends either way.
    virtual bool InitInstance() = 0;

private:
    HINSTANCE instance = nullptr;
    std::wstring title;
};

// String 57344 of module, or when it is missing or empty the module's file name without
// folder and extension.
std::wstring LoadApplicationTitle(HINSTANCE module);
