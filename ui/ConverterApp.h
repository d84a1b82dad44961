#pragma once

#include "winfw/App.h"

// The process's application object: works out the help file's path, then
// runs the main dialog; when that closes, the program ends.
class CConverterApp : public CApp {
public:
    CConverterApp();

protected:
    bool InitInstance() override;
};
