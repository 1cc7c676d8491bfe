#include "platform/windows/WinThreadName.h"

#include "platform/windows/Win32.h"

namespace pt {

void NameThisThread(const wchar_t* name) {
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    auto* proc = GetProcAddress(kernel, "SetThreadDescription");
    if (!proc) return;
    reinterpret_cast<SetDescription>(reinterpret_cast<void*>(proc))(GetCurrentThread(), name);
}

}  // namespace pt
