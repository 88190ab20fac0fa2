#pragma once
// Driving another process's dialogs from a test program: start it, find its windows by class
// and title, read control texts and states, click, and wait for it to end. Every wait is
// bounded, so a missing window fails the test instead of hanging it.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/UniqueHandle.h"

// The folder of the running test program, where the build puts every program (build/bin).
std::wstring ThisProgramFolder();

struct ChildProcess {
    UniqueHandle process;
    DWORD id = 0;
    DWORD startError = 0;  // CreateProcessW's last error when it could not be started

    bool Running() const;
    // Waits for the process to end; false on timeout. exitCode is set when it ended.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Kill() const;
};

// Starts commandLine (an executable path and its arguments). extraEnvironment entries
// ("NAME=value") are added to, or replace, this process's environment.
// Under load Wine now and then fails to create a process: the new process ends during Wine's
// own start-up, before any of its code runs, and CreateProcessW fails with
// ERROR_INTERNAL_ERROR. Nothing of the program has run then, so the start is tried again, a
// few times, half a second apart. False when every try failed; child.startError then holds
// the error, and StartFailure(child) says it in words.
bool StartProcess(const std::wstring& commandLine, ChildProcess& child,
                  const std::vector<std::wstring>& extraEnvironment = {});
std::string StartFailure(const ChildProcess& child);

// Top-level windows of process pid (0: any process) with that class and exact title
// (nullptr: any title) that are visible, or also hidden ones.
std::vector<HWND> FindTopWindows(DWORD pid, const wchar_t* className, const wchar_t* title,
                                 bool hiddenToo = false);
// Polls for the first such window; nullptr after timeoutMs.
HWND WaitForTopWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                      DWORD timeoutMs);
// Waits until the window is gone (destroyed or hidden).
bool WaitForWindowGone(HWND window, DWORD timeoutMs);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int controlId);

// Clicks a button without blocking on the modal loop it may start.
void ClickButton(HWND dialog, int controlId);
// A message box's text (its static control 0xFFFF).
std::wstring MessageBoxText(HWND box);

// The UTF-8 text of a file (empty when missing), for checking what a helper wrote.
std::wstring ReadTextFile(const std::wstring& path);
