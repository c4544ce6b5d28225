#pragma once
// A media prompter for tests: keeps the text of every prompt, runs a hook
// (for example to put the medium back) and gives a set answer.
#include <functional>
#include <string>
#include <vector>

#include "dsk/DSK_Media.h"
#include "dsk/DSK_MediaPrompter.h"

namespace imgkit {

struct RecordingPrompter_t : dsk::MediaPrompterIntf_t {
  std::vector<std::string> texts;
  std::function<void()> onPrompt;
  int answer = dsk::kPromptCancel;
  int Prompt(const dsk::MediaResolverState_t& state, const std::string& drive) override {
    texts.push_back(dsk::MediaPromptText(state.promptText, drive));
    if (onPrompt) onPrompt();
    return answer;
  }
};

}  // namespace imgkit
