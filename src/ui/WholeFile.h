#pragma once

#include <QString>
#include <string>

namespace pt {

// Writes `bytes` to `file` whole or not at all: a temporary file beside it is renamed into
// place once complete; on any failure nothing is left behind. Returns an empty text on
// success, else why it failed.
QString WriteWholeFile(const QString& file, const std::string& bytes);

}  // namespace pt
