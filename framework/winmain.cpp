#include "framework/app.h"
#include <cstdlib>

// Linked into the program only: test executables bring their own main.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}

// The runtime's default handler for an exception that nothing catches writes
// the exception's demangled type name to the standard error stream, which a
// windowed program does not have, and brings the whole demangler into the
// program for it. Defining the handler here keeps the runtime's out of the
// link; ending at once is what it would have done next.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
