// The MCI command channel: commands with their result codes and either the
// reply or a readable error text. Error texts are for the caller; nothing
// here shows anything. Not re-entrant: the buffers are shared.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace qb {

class MciChannel {
 public:
  static constexpr uint32_t kReturnBufferSize = 512;
  static constexpr uint32_t kErrorBufferSize = 256;

  explicit MciChannel(MciPort& port) : port_(port) {}

  // 0 on success with the reply in `text`; the MCI error code with its
  // description; -1 when `command` is empty (nothing is sent).
  int32_t SendMciCommand(const std::string& command, std::string& text);

  // The reply, or "Error:" and the result code when the command failed.
  std::string QueryMci(const std::string& command);

  // "play <device>[ from <from>][ to <to>]"; empty positions are left out.
  int32_t PlayMci(const std::string& device, const std::string& from, const std::string& to);

  // Sends without a reply buffer; returns the result code, which is also
  // left in LastApiResult. The commands above are ASCII; this one may
  // carry a path.
  int32_t SendMciDirect(const std::string& command);
  int32_t SendMciDirect(const std::u16string& command);

  MciPort& Port() { return port_; }

  char MciReturnBuffer[kReturnBufferSize] = {};
  char MciErrorBuffer[kErrorBufferSize] = {};
  std::string MciResponseText;

 private:
  MciPort& port_;
};

// The text of a fixed reply buffer: up to its first NUL, never past its end.
std::string BufferText(const char* buffer, size_t capacity);

}  // namespace qb
