// The lenient number reader and the number writers on any text: never crash, never read
// a value that is not finite, and a written number reads back as itself.

#include <cmath>

#include "FuzzInput.h"
#include "core/stats/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double v = pt::NumericValue(text);
    if (!std::isfinite(v)) pt::fuzz::Broken();

    // Written with up to 15 significant digits, read back within that precision.
    const std::string written = pt::NumberToText(v);
    const double back = pt::NumericValue(written);
    if (std::fabs(back - v) > std::fabs(v) * 1e-14) pt::fuzz::Broken();
    if (written.find_first_of(" ,") != std::string::npos) pt::fuzz::Broken();

    (void)pt::IntPart(v);
    (void)pt::RoundHalfEven(v);
    const int counter = pt::ToInt32Saturated(v);
    if (v >= 2147483647.0 && counter != 2147483647) pt::fuzz::Broken();
    if (v <= -2147483648.0 && counter != -2147483647 - 1) pt::fuzz::Broken();
    return 0;
}
