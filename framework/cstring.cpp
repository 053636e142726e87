#include "framework/cstring.h"
#include <cstdarg>
#include <vector>

void CString::Format(const char* format, ...)
{
    // The system's formatter rather than the C runtime's: it is all a number
    // or a name needs, and it brings no printf implementation into the
    // program. It writes at most 1024 bytes, terminator included.
    char buffer[1024];
    va_list args;
    va_start(args, format);
    const int length = ::wvsprintfA(buffer, format, args);
    va_end(args);
    m_text.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
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
