#pragma once
// The prompt of a file medium on a removable or optical drive: a message box
// that asks the user to put the medium back, with OK to try again and Cancel
// to give up.
#include <string>

#include "dsk/DSK_Media.h"

namespace dsk {

class MediaPrompter_t : public MediaPrompterIntf_t {
 public:
  // Shows the resolver's prompt text with its first "%s" replaced by the drive
  // (the caption is string 4600) and answers the box's button: kPromptRetry for
  // OK, kPromptCancel for Cancel.
  int Prompt(const MediaResolverState_t& state, const std::string& drive) override;
};

// The process-wide message-box prompter. A medium keeps its prompter for as
// long as it lives, so images that outlive their opener point here.
MediaPrompter_t& SharedMediaPrompter();

// The text of a medium prompt: 'text' with its first "%s" replaced by 'drive'
// (unchanged when it has none).
std::string MediaPromptText(const std::string& text, const std::string& drive);

}  // namespace dsk
