#pragma once
// Message templates with numbered arguments, and the decimals of a number display.
#include <string>
#include <vector>

namespace glo {

// The template with every "%<digit>" replaced by the argument of that number and
// every "%%" by "%". Text inserted from an argument is never scanned again. Any
// argument may be used several times and in any order, but every one must be used.
// Assert_t at the caller's (file, line) for a template that ends in "%" or leaves an
// argument unused; Assert_t of this source for "%" followed by anything but "%" or
// the number of a given argument. At most ten arguments (0 to 9) can be addressed.
std::string StringReplace(const std::string& templateText, const std::vector<std::string>& arguments,
                          const char* file, int line);

// The number of decimals with which x shows 'digits' significant digits: 0 for x = 0,
// else digits minus the number of integer digits of |x| (none below 1), and 0 when
// |x| has that many integer digits or more.
int DecimalsForDigits(double x, int digits);

}  // namespace glo
