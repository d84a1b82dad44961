#include <windows.h>

#include "app/win32/ConverterApp.h"

namespace {
CConverterApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return CApp::Current()->Run(); }
