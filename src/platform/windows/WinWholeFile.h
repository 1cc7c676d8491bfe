#pragma once

#include <string>
#include <string_view>

namespace pt {

// What became of a write: an empty `failure` once written, else why not (the system's
// words, UTF-8); `stream` when the target was a pipe, NUL or the console.
struct WholeFileWrite {
    std::string failure;
    bool stream = false;
};

// Writes `bytes` to `file` whole or not at all: a new file beside it is moved over it once
// complete, and nothing is left behind on a failure. A pipe, NUL or the console is written
// as a stream through the one handle that found out what it is (a pipe may serve a single
// client); a folder is refused.
WholeFileWrite WriteWholeFile(const std::wstring& file, std::string_view bytes);

}  // namespace pt
