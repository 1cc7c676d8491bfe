#include "DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace pt {

void DesktopShell::open(const std::string& address) {
    // Mail texts arrive already percent-encoded; TolerantMode keeps them as they are.
    const QUrl url(QString::fromStdString(address), QUrl::TolerantMode);
    if (url.isValid()) QDesktopServices::openUrl(url);
}

}  // namespace pt
