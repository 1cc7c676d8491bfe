#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <string>

namespace pt {

// How long a FIFO that nobody reads from yet is waited for, and what to say once the wait
// begins. No wait (the default) refuses it at once, as a window must not hang on it.
struct ReaderWait {
    std::chrono::milliseconds limit{0};
    std::function<void()> waiting;
};

// Writes `bytes` to `file` whole or not at all: a temporary file beside it is renamed into
// place once complete; on any failure nothing is left behind. A FIFO or a character device
// is written as a stream and stays what it is; a descriptor the program was handed
// (/dev/stdout, /dev/fd/N) is written as a stream where it stands, whatever it leads to (a
// log opened to append is appended to); a folder, a socket or the like is refused; a link
// is followed to an existing file, except in a shared sticky folder (/tmp), where links are
// refused. Returns an empty text on success, else why it failed ("No space left
// on device").
QString WriteWholeFile(const QString& file, const std::string& bytes,
                       const ReaderWait& readerWait = {});

}  // namespace pt
