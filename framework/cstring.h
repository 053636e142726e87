#pragma once
// ANSI string in the classic framework's shape, over std::string. Text is
// whatever the ANSI code page makes of it: lengths are in bytes.
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    // Implicit, as in the classic framework: a literal or an LPCSTR goes
    // wherever a CString is taken.
    // cppcheck-suppress noExplicitConstructor
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text ? text : "", text ? length : 0) {}
    // cppcheck-suppress noExplicitConstructor ; implicit for the same reason
    CString(const std::string& text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator LPCSTR() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    CString& operator=(const char* text) { m_text = text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const char* text) { m_text += text ? text : ""; return *this; }
    CString& operator+=(char c) { m_text += c; return *this; }
    friend CString operator+(CString a, const CString& b) { a += b; return a; }
    friend CString operator+(CString a, const char* b) { a += b; return a; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

    // wsprintf-style formatting (no floating point); the result is cut at
    // 1023 bytes.
    void Format(const char* format, ...);
    // Loads string resource nID of the module; false (and empty) when it is missing.
    BOOL LoadString(UINT nID);

private:
    std::string m_text;
};
