// UTF-8 lines on the standard handles; see text_output.h.
#include "text_output.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

void WriteLine(DWORD stream, const char* format, va_list arguments)
{
    va_list counting;
    va_copy(counting, arguments);
    int length = vsnprintf(nullptr, 0, format, counting);
    va_end(counting);
    if (length < 0)
        return;
    std::vector<char> line(static_cast<size_t>(length) + 2);
    vsnprintf(line.data(), line.size(), format, arguments);
    line[static_cast<size_t>(length)] = '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), line.data(), static_cast<DWORD>(length) + 1, &written, nullptr);
}

}  // namespace

std::string Utf8(const std::wstring& text)
{
    int count = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), count, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), count, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

void PrintLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WriteLine(STD_OUTPUT_HANDLE, format, arguments);
    va_end(arguments);
}

void PrintError(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WriteLine(STD_ERROR_HANDLE, format, arguments);
    va_end(arguments);
}
