#include "platform/windows/MutexSingleInstance.h"

#include "platform/windows/Win32.h"

namespace pt {

MutexSingleInstance::~MutexSingleInstance() {
    if (m_mutex) CloseHandle(m_mutex);
}

bool MutexSingleInstance::acquire() {
    if (m_mutex) return true;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, m_name.c_str());
    if (!mutex) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex;
    return true;
}

}  // namespace pt
