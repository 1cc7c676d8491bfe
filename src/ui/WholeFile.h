#pragma once

#include <QString>
#include <string>

namespace pt {

// Writes `bytes` to `file` whole or not at all: a temporary file beside it is renamed into
// place once complete; on any failure nothing is left behind. A FIFO or a character device
// is written as a stream and stays what it is (a FIFO nobody reads from is refused); a link
// is followed to an existing file, except in a shared sticky folder (/tmp), where links are
// refused. Returns an empty text on success, else why it failed ("No space left on device").
QString WriteWholeFile(const QString& file, const std::string& bytes);

}  // namespace pt
