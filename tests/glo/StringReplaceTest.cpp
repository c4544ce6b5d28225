#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringReplace.h"

namespace {

using Args_t = std::vector<std::string>;

TEST(StringReplace, Substitutes) {
  const struct {
    std::string templateText;
    Args_t args;
    std::string result;
  } cases[] = {
      {"100%% done", {}, "100% done"},
      {"%0 is 100%%", {"Port"}, "Port is 100%"},
      {"%1 before %0", {"first", "second"}, "second before first"},
      {"%0-%0", {"x"}, "x-x"},
      {"%0", {"50%1 %%"}, "50%1 %%"},  // argument text is not scanned again
      {"%%0", {}, "%0"},
      {"no arguments", {}, "no arguments"},
      {"%9%0%1%2%3%4%5%6%7%8", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, "jabcdefghi"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.result, glo::StringReplace(c.templateText, c.args, "Caller.cpp", 7));
}

TEST(StringReplace, MalformedTemplatesAreAssertions) {
  const struct {
    std::string templateText;
    Args_t args;
    const char* source;  // the caller's file, or this library's
  } cases[] = {
      {"ends with %", {}, "Caller.cpp"},
      {"%0 and %", {"a"}, "Caller.cpp"},
      {"%2", {"a", "b"}, "GLO_StringReplace.cpp"},
      {"%x", {"a"}, "GLO_StringReplace.cpp"},
      {"%0", {}, "GLO_StringReplace.cpp"},
      {"only %0", {"a", "b"}, "Caller.cpp"},  // argument 1 unused
      {"%0%1%2%3%4%5%6%7%8%9", Args_t(11, "x"), "Caller.cpp"},  // an eleventh cannot be addressed
  };
  for (const auto& c : cases) {
    try {
      glo::StringReplace(c.templateText, c.args, "Caller.cpp", 7);
      ADD_FAILURE() << "accepted " << c.templateText;
    } catch (const glo::Assert_t& e) {
      EXPECT_STREQ(c.source, e.SourceFile()) << c.templateText;
    }
  }
}

}  // namespace
