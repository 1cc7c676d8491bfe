#pragma once

namespace pt {

// Names the calling thread (SetThreadDescription, Windows 10 1607 and later; elsewhere it
// stays unnamed): debuggers show the name, and under Wine it becomes the Unix thread's name
// (at most 15 characters), by which the benchmarks find a thread's processor time.
void NameThisThread(const wchar_t* name);

}  // namespace pt
