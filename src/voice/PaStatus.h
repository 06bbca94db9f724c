// The outcome of a voice authoring step: ok, or a message for the user.
#pragma once
#include <string>
#include <utility>

namespace ekoto {

struct PaStatus {
  bool bOk = true;
  std::u16string sMessage;

  static PaStatus Ok() { return {}; }
  static PaStatus Error(std::u16string message) { return {false, std::move(message)}; }
};

}  // namespace ekoto
