// Both number conversions against slow references, on every input.
#include <cstdint>
#include <string>

#include "check.h"
#include "platform/number_text.h"
#include "reference_numbers.h"
#include "app/command_line.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);

  QB_FUZZ_CHECK(qb::ConvertSettingNumber(text) == qb::fuzz::ReferenceSettingNumber(text));

  const int32_t lenient = qb::ParseLeadingNumber(text);
  if (const auto expected = qb::fuzz::ReferenceLeadingNumber(text)) {
    QB_FUZZ_CHECK(lenient == *expected);
  }

  const qb::DecimalScan scan = qb::ScanDecimal(text);
  QB_FUZZ_CHECK(scan.length <= text.size());
  QB_FUZZ_CHECK(scan.length == 0 || !(scan.integerDigits.empty() && scan.fractionDigits.empty()));
  return 0;
}
