// Entry point of Dotwerk.
#include "core/Win32Host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return dw::RunDotwerk(instance); }
