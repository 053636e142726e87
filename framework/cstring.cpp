#include "framework/cstring.h"
#include <cstdarg>
#include <cstdio>
#include <vector>

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list probe;
    va_copy(probe, args);
    const int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed < 0) {
        m_text.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        m_text.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    // String-table blocks hold 16 counted UTF-16 strings; LoadStringA converts to
    // the ANSI code page, so a growing buffer is needed for long double-byte texts.
    std::vector<char> buffer(256);
    for (;;) {
        const int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buffer.data(),
                                    static_cast<int>(buffer.size()));
        if (n <= 0) {
            m_text.clear();
            return FALSE;
        }
        if (n < static_cast<int>(buffer.size()) - 1) {
            m_text.assign(buffer.data(), static_cast<size_t>(n));
            return TRUE;
        }
        buffer.resize(buffer.size() * 2);
    }
}
