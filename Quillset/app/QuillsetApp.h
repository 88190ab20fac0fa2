#pragma once
// The program's application object: start-up and the single-instance guard.

#include "framework/Application.h"

class CQuillsetApp : public CApplication {
protected:
    bool InitInstance() override;
};
