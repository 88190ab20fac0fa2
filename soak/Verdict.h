#pragma once
// The model's expectation held against what a run showed and what the units received.

#include "Drive.h"
#include "Model.h"

#include <string>
#include <vector>

struct Verdict {
    bool harnessError = false;
    bool crashed = false;
    bool hung = false;
    bool wrongWrites = false;   // a SET's bytes, or the number of SETs, differ from the model
    bool wrongReads = false;    // the same for GETs (bytes 280 to 323, the default words)
    bool wrongScreens = false;  // another screen, message or check box state than the model's
    std::vector<std::string> findings;

    bool Clean() const {
        return !harnessError && !crashed && !hung && !wrongWrites && !wrongReads && !wrongScreens;
    }
};

Verdict Judge(const Expectation& expected, const Observation& seen);
