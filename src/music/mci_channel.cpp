#include "music/mci_channel.h"

#include <cstring>

#include "platform/last_api_result.h"
#include "platform/texts.h"
#include "platform/utf16.h"

namespace qb {

std::string BufferText(const char* buffer, size_t capacity) {
  const void* nul = std::memchr(buffer, '\0', capacity);
  const size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : capacity;
  return std::string(buffer, length);
}

int32_t MciChannel::SendMciCommand(const std::string& command, std::string& text) {
  if (command.empty()) {
    text = texts::kMciNoCommand;
    return -1;
  }
  const uint32_t code = port_.SendString(WidenAscii(command), MciReturnBuffer, kReturnBufferSize);
  LastApiResult = static_cast<int32_t>(code);
  if (code != 0) {
    if (!port_.GetErrorString(code, MciErrorBuffer, kErrorBufferSize)) {
      text = texts::kMciNoErrorText;
    } else {
      text = BufferText(MciErrorBuffer, kErrorBufferSize);
    }
    return static_cast<int32_t>(code);
  }
  text = BufferText(MciReturnBuffer, kReturnBufferSize);
  return 0;
}

std::string MciChannel::QueryMci(const std::string& command) {
  const int32_t code = SendMciCommand(command, MciResponseText);
  LastApiResult = code;
  if (code != 0) return "Error:" + std::to_string(code);
  return MciResponseText;
}

int32_t MciChannel::PlayMci(const std::string& device, const std::string& from,
                            const std::string& to) {
  std::string command = "play " + device;
  if (!from.empty()) command += " from " + from;
  if (!to.empty()) command += " to " + to;
  return SendMciCommand(command, MciResponseText);
}

int32_t MciChannel::SendMciDirect(const std::string& command) { return SendMciDirect(WidenAscii(command)); }

int32_t MciChannel::SendMciDirect(const std::u16string& command) {
  LastApiResult = static_cast<int32_t>(port_.SendString(command, nullptr, 0));
  return LastApiResult;
}

}  // namespace qb
