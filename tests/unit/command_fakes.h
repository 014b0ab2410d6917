// Host stand-ins for the skinned button's window and its host: they record
// the faces painted (with the gradient direction), the clicks, the timer and
// the property notifications, in order.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "controls/command/command_logic.h"

namespace qb::test {

class FakeCommandSurface : public CommandSurface {
 public:
  const CommandLogic* logic = nullptr;
  std::vector<std::string> events;
  int captionShows = 0;

  // "Normal" for light-to-dark, "HighLight^" when the gradient runs
  // dark-to-light.
  void PaintFace(FacePicture picture) override {
    events.push_back(std::string(FacePictureName(picture)) +
                     (logic && logic->Fields().hotGradient ? "^" : ""));
  }
  void CaptionChanged() override { ++captionShows; }
  void StartMouseTimer(uint32_t intervalMs) override {
    events.push_back("timer " + std::to_string(intervalMs));
  }
  void RaiseClick() override { events.push_back("Click"); }

  std::vector<std::string> Take() { return std::exchange(events, {}); }
};

class FakeCommandHost : public PropertyBag {
 public:
  std::vector<std::string> changed;
  void PropertyChanged(const char* key) override { changed.push_back(key); }
};

}  // namespace qb::test
