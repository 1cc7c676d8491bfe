#include "core/online/UnaskedUpdateCheck.h"

#include "core/online/SitePages.h"

namespace pt {

bool UnaskedUpdateCheck::dueOnWindowShown(bool checkUnderWay) {
    if (m_considered) return false;
    m_considered = true;
    return AutomaticUpdateCheckEnabled(m_store) && !checkUnderWay;
}

}  // namespace pt
