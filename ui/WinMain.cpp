#include <windows.h>

#include "ui/ConverterApp.h"

namespace {
CConverterApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return theApp.Run(); }
