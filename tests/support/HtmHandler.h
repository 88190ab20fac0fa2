#pragma once
// Makes a test program the handler of .htm files for as long as it lives, then puts back
// what the prefix had (a fresh one has no .htm key at all). With the recorder
// (tests/ui/OpenRecorder.cpp) a test sees which document "open" was asked for.

#include <string>

class HtmHandler {
public:
    explicit HtmHandler(const std::wstring& handlerProgram);
    ~HtmHandler();
    HtmHandler(const HtmHandler&) = delete;
    HtmHandler& operator=(const HtmHandler&) = delete;

    // Whether the association was written.
    bool Ready() const { return ready; }

private:
    bool hadExtension = false;
    bool ready = false;
    std::wstring previousClass;
};
