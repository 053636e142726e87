/* A program for the floor check to refuse: built without the C runtime, so
   that its one import (GetTickCount, on the list) leaves the PE header or,
   with FLOOR_PROBE_SSE2, an SSE2 instruction as the only finding. It is never
   run. */
#include <windows.h>

/* The linker's default entry point of a console program. */
void mainCRTStartup(void)
{
    GetTickCount();
#ifdef FLOOR_PROBE_SSE2
    /* What code built for a processor with SSE2 contains: a Pentium III or an
       Athlon XP stops on it with an invalid instruction. */
    __asm__ volatile("pxor %xmm0, %xmm0");
#endif
}
