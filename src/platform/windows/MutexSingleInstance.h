#pragma once

#include <string>
#include <utility>

#include "core/ports/SingleInstance.h"

namespace pt {

// A named mutex in the session's namespace; the system releases it when the process ends,
// however it ends.
class MutexSingleInstance : public SingleInstance {
public:
    explicit MutexSingleInstance(std::wstring name = L"Local\\Pathtally.SingleInstance")
        : m_name(std::move(name)) {}
    ~MutexSingleInstance() override;
    bool acquire() override;

private:
    std::wstring m_name;
    void* m_mutex = nullptr;
};

}  // namespace pt
