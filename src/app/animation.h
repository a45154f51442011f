// The main dialog's opening and closing animations.
#pragma once
#include <windows.h>

void PlayOpeningAnimation(HWND dialog);
void PlayClosingAnimation(HWND dialog);
