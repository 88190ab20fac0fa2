#pragma once
// Driving another process's dialogs from a test program: start it, find its windows by class
// and title, read control texts and states, click, and wait for it to end. Every wait is
// bounded, so a missing window fails the test instead of hanging it.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/UniqueHandle.h"

// The folder of the running test program, where the build puts every program (build/bin).
std::wstring ThisProgramFolder();

// A process this test program started, and its owner: a process still running when its
// ChildProcess goes away is ended, so a test ends what it started, pass or fail. It is ended
// by the handle CreateProcessW gave for it, which keeps its id from going to another process
// meanwhile, so nothing else is ever ended in its place.
struct ChildProcess {
    UniqueHandle process;
    DWORD id = 0;
    DWORD startError = 0;  // CreateProcessW's last error when it could not be started

    ChildProcess() = default;
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Running() const;
    // Waits for the process to end; false on timeout. exitCode is set when it ended.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    // Ends the process if it still runs and waits a little for it to be gone.
    void Kill() const;
};

// Starts commandLine (an executable path and its arguments) into child, ending first any
// process child still runs. extraEnvironment entries ("NAME=value") are added to, or replace,
// this process's environment.
// Every process started here also belongs to one job of this test program that ends them all
// when the test program ends, however it ends: a test program that crashes runs no owner's
// clean-up, and a copy of the program left running would fail every later test.
// Under load Wine now and then fails to create a process: the new process ends during Wine's
// own start-up, before any of its code runs, and CreateProcessW fails with
// ERROR_INTERNAL_ERROR. Nothing of the program has run then, so the start is tried again, a
// few times, half a second apart. False when every try failed; child.startError then holds
// the error, and StartFailure(child) says it in words.
// beforeResume, when given, runs with the new process's id before its first instruction.
bool StartProcess(const std::wstring& commandLine, ChildProcess& child,
                  const std::vector<std::wstring>& extraEnvironment = {},
                  const std::function<void(DWORD processId)>& beforeResume = nullptr);
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
// Presses and releases a key as the user would: it goes to whichever window has the keyboard.
bool PressKey(WORD virtualKey);

// Waits until no process of that file name (such as "quillset_open_recorder.exe", letter case
// ignored) runs; false on timeout.
bool WaitUntilNoProcessNamed(const wchar_t* fileName, DWORD timeoutMs);

// The UTF-8 text of a file (empty when missing), for checking what a helper wrote.
std::wstring ReadTextFile(const std::wstring& path);
