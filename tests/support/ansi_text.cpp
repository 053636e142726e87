#include "ansi_text.h"
#include <windows.h>
#include <vector>

std::string AnsiText(const char* utf8)
{
    const int wide = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (wide <= 0)
        return std::string();
    std::vector<wchar_t> text(static_cast<size_t>(wide));
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), wide);
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string ansi(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, &ansi[0], bytes, nullptr, nullptr);
    ansi.pop_back();  // the terminating NUL that the conversion counted
    return ansi;
}
