#include "dsk/DSK_MediaPrompter.h"

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_MessageBox.h"
#include "plat/PLAT_Window.h"

namespace dsk {

namespace {

constexpr int kCaptionId = 4600;

}  // namespace

std::string MediaPromptText(const std::string& text, const std::string& drive) {
  std::string result = text;
  const std::size_t at = result.find("%s");
  if (at != std::string::npos) result.replace(at, 2, drive);
  return result;
}

MediaPrompter_t& SharedMediaPrompter() {
  static MediaPrompter_t prompter;
  return prompter;
}

int MediaPrompter_t::Prompt(const MediaResolverState_t& state, const std::string& drive) {
  const std::string caption = glo::StringResource_t(kCaptionId, GLO_SRC).Text();
  const int answer = plat::MessageBox(nullptr, MediaPromptText(state.promptText, drive), caption,
                                      plat::kMbOkCancel | plat::kMbIconExclamation);
  return answer == plat::kIdCancel ? kPromptCancel : kPromptRetry;
}

}  // namespace dsk
