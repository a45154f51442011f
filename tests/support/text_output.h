// Text out of a test program: wide text as UTF-8, and whole lines written at once
// with a bare line feed, so that a script reading them sees each as soon as it is done
// and no carriage return sticks to the last word.
#pragma once
#include <cstdio>
#include <string>

std::string Utf8(const std::wstring& text);
// One line on standard output; printf's format, narrow: wide text goes through Utf8.
void PrintLine(const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));
// One line on standard error.
void PrintError(const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));
