#pragma once

#include <cstdint>

namespace pt {

// Windows virtual-key code of a keysym, or 0 when it has none. Both Shifts give 16, both
// Ctrls 17, both Enters 13; keypad digits give 96-105 and the keypad's navigation
// keysyms the codes of the navigation block.
int VirtualKeyFromKeysym(std::uint32_t keysym);

// Virtual-key code by the key's position (evdev code = X keycode - 8) on a US keyboard:
// letters, digits and punctuation of the main block, for layouts whose keysyms have no
// Latin meaning. 0 for any other position.
int VirtualKeyFromEvdevPosition(int evdevCode);

// Virtual-key code of a key by its evdev code alone, where no keyboard map is at hand (input
// read from the kernel's devices): the main block by position on a US keyboard, the
// function, modifier, navigation and keypad keys by their meaning. Keypad keys give their
// digit (96-105, and 110 for the decimal key) while NumLock is on, their navigation code
// otherwise. 0 for a key without a code.
int VirtualKeyFromEvdevCode(int evdevCode, bool numLock);

// A key press as the keyboard map describes it: the keysyms of its first two levels in
// the active group. Keypad keys show navigation at level 0 and digits at level 1.
struct KeyLevels {
    std::uint32_t level0 = 0;
    std::uint32_t level1 = 0;
};

// The code of a pressed key: level 0 decides, except that a keypad key yields its digit
// (level 1) while NumLock is on. Keysyms without a code fall back to the key's position.
int VirtualKeyFor(const KeyLevels& levels, bool numLock, int xKeycode);

}  // namespace pt
