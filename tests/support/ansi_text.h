#pragma once
// Texts written in a test's UTF-8 source, converted at run time to the ANSI
// code page that the program's ANSI calls use (936 under the test runner).
// Converting here, not through a compiler's execution character set, keeps
// the tests the same under every compiler.
#include <string>

std::string AnsiText(const char* utf8);
