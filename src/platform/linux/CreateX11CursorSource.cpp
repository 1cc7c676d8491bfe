#include "platform/linux/CreateX11CursorSource.h"

#include <QtGlobal>

#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11MotionCursorSource.h"

namespace pt {

std::unique_ptr<CursorSource> CreateX11CursorSource(const std::string& displayName) {
    X11MotionCursorSource::Options motion;
    motion.displayName = displayName;
    auto recorded = std::make_unique<X11MotionCursorSource>(motion);
    if (recorded->available()) {
        qInfo("Pointer travel: from the X server's motion events (RECORD)");
        return recorded;
    }
    recorded.reset();
    qInfo("Pointer travel: no RECORD extension on the X server, sampling the position at 1 kHz");
    X11CursorSource::Options sampled;
    sampled.displayName = displayName;
    return std::make_unique<X11CursorSource>(sampled);
}

}  // namespace pt
