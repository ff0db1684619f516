#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// Where the campaign's news goes: the main window's message log in the game,
// standard error in the arena. Texts are UTF-8, one line each.
class MessageSink {
public:
  virtual ~MessageSink() = default;
  virtual void AddMessage(std::string_view text) = 0;
};

// Keeps every line; for tests and for callers that show the lines later.
class MessageRecorder : public MessageSink {
public:
  void AddMessage(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

}  // namespace kivora
