// Reading the preview handle from the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

// Lenient leading-number parse: blanks, tabs and line feeds anywhere are
// ignored, reading stops at the first character that cannot continue the
// number, no leading number gives 0, fractions round to the nearest integer
// (halves to even), and a value outside the signed 32-bit range gives 0.
int32_t ParseLeadingNumber(std::string_view text);

// The preview host handle of a "/p 1234" argument string: the number read
// from its fourth character on.
int32_t PreviewHostHandle(std::string_view argumentString);

}  // namespace qb
