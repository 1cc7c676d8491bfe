#include "DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>
#include <cstdio>

namespace pt {

void DesktopShell::open(const std::string& address) {
    // Mail texts arrive already percent-encoded; TolerantMode keeps them as they are.
    const QUrl url(QString::fromStdString(address), QUrl::TolerantMode);
    // Web pages and mail only: never a file, a script address or an option for the opener.
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                           scheme != QLatin1String("mailto"))) {
        std::fprintf(stderr, "pathtally: not opened, not a web or mail address\n");
        return;
    }
    QDesktopServices::openUrl(url);
}

}  // namespace pt
