#include "gdi_objects.h"
#include <windows.h>
#include <cstddef>
#include <cstdint>

namespace {

// One entry of Wine's GDI handle table (its ntgdi.h layout): the handle of
// entry i is i | Unique << 16, and Type is 0 for a free entry.
#pragma pack(push, 1)
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "Wine's GDI handle entry");
constexpr size_t kGdiHandleCount = 0x10000;

const GdiHandleEntry* GdiHandleTable()
{
    // The PEB's address sits in the thread's block (fs:0x30 on 32-bit,
    // gs:0x60 on 64-bit), and its GdiSharedHandleTable at 0x94 or 0xF8.
    const BYTE* peb = nullptr;
#if defined(__x86_64__)
    __asm__("movq %%gs:0x60, %0" : "=r"(peb));
    constexpr size_t kGdiTableOffset = 0xF8;
#else
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
    constexpr size_t kGdiTableOffset = 0x94;
#endif
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kGdiTableOffset);
    if (!table)
        return nullptr;
    // Only trusted when a stock object sits where this layout says it does.
    const auto stock = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(::GetStockObject(WHITE_BRUSH)));
    const GdiHandleEntry& entry = table[stock & 0xFFFF];
    return entry.type != 0 && entry.unique == (stock >> 16) ? table : nullptr;
}

}  // namespace

int LiveGdiObjects()
{
    const GdiHandleEntry* table = GdiHandleTable();
    if (!table)
        return -1;
    int live = 0;
    for (size_t i = 0; i < kGdiHandleCount; ++i) {
        if (!table[i].type)
            continue;
        const uintptr_t handle = i | static_cast<uintptr_t>(table[i].unique) << 16;
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(handle)))
            ++live;
    }
    return live;
}

