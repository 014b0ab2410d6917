// Text-to-number conversion for stored and reported numbers.
#pragma once

#include <optional>
#include <string_view>

namespace qb {

// Plain decimal text: optional blanks around it, a sign, digits with an
// optional decimal point, an optional exponent. Anything else (hex, "inf",
// trailing letters, empty text) is not a number.
std::optional<double> TextToNumber(std::string_view text);

}  // namespace qb
