#pragma once
// Shared checks of the grid tests: reference tables of points with the grid text
// that independent geodesy tools computed from each grid's own parameters.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "geo/GEO_Grid.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"

namespace gridtest {

// A point in degrees and the reference text of the grid there.
struct Case {
  double latitude;
  double longitude;
  const char* text;
};

inline std::int32_t Semicircles(double degrees) {
  const double s = degrees * geo::SemicirclesPerDegree;
  return static_cast<std::int32_t>(s >= 0 ? std::trunc(s + 0.5) : std::trunc(s - 0.5));
}

inline geo::Position_t Point(double latitude, double longitude) {
  return geo::Position_t(Semicircles(latitude), Semicircles(longitude));
}

inline const geo::Datum_t& Wgs84() { return geo::GetWgs84Datum(); }

inline std::string Format(const geo::Grid_t& grid, double latitude, double longitude) {
  return grid.Format(Point(latitude, longitude), Wgs84()).text;
}

inline geo::Position_t Parse(const geo::Grid_t& grid, const std::string& text) {
  return grid.Parse(geo::GridText_t(text), Wgs84());
}

inline double Degrees(std::int32_t semicircles) { return semicircles / geo::SemicirclesPerDegree; }

// The text cut into runs of digits (with a leading minus sign) and of other
// characters. A digit run of 10 or more (the digits of a square reference) is
// cut in halves.
inline std::vector<std::string> Runs(const std::string& text) {
  std::vector<std::string> runs;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto digitAt = [&](std::size_t k) { return k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); };
    std::size_t j = i;
    if (digitAt(i) || (text[i] == '-' && digitAt(i + 1))) {
      j = i + 1;
      while (digitAt(j)) ++j;
      const std::string run = text.substr(i, j - i);
      if (run.size() >= 10 && run.size() % 2 == 0 && run[0] != '-') {
        runs.push_back(run.substr(0, run.size() / 2));
        runs.push_back(run.substr(run.size() / 2));
      } else {
        runs.push_back(run);
      }
    } else {
      while (j < text.size() && !digitAt(j) && !(text[j] == '-' && digitAt(j + 1))) ++j;
      runs.push_back(text.substr(i, j - i));
    }
    i = j;
  }
  return runs;
}

// True when the texts agree except for numbers of 3 or more digits, which may
// differ by the tolerance in metres.
inline bool TextNear(const std::string& actual, const std::string& expected, long tolerance) {
  const std::vector<std::string> a = Runs(actual);
  const std::vector<std::string> e = Runs(expected);
  if (a.size() != e.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const bool number = std::isdigit(static_cast<unsigned char>(e[i].back())) != 0;
    if (number && e[i].size() >= 3 && std::isdigit(static_cast<unsigned char>(a[i].back()))) {
      if (std::labs(std::atol(a[i].c_str()) - std::atol(e[i].c_str())) > tolerance) return false;
    } else if (a[i] != e[i]) {
      return false;
    }
  }
  return true;
}

// Distance in metres between two positions (a local flat approximation).
inline double Metres(const geo::Position_t& a, const geo::Position_t& b) {
  const double dlat = (a.GetLatitude() - b.GetLatitude()) / geo::SemicirclesPerDegree * 111320.0;
  double dlon = static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(a.GetLongitude()) -
                                                              static_cast<std::uint32_t>(b.GetLongitude())));
  dlon = dlon / geo::SemicirclesPerDegree * 111320.0 * std::cos(a.GetLatitude() / geo::SemicirclesPerRadian);
  return std::sqrt(dlat * dlat + dlon * dlon);
}

// Every case formats to its reference text (numbers within the tolerance) and
// its reference text parses back to within the tolerance of the point.
inline void CheckCases(const geo::Grid_t& grid, const std::vector<Case>& cases, long tolerance,
                       const geo::Datum_t& datum = geo::GetWgs84Datum()) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << grid.GetTypeId() << " at " << c.latitude << ", " << c.longitude);
    const geo::Position_t p = Point(c.latitude, c.longitude);
    try {
      const std::string text = grid.Format(p, datum).text;
      EXPECT_TRUE(TextNear(text, c.text, tolerance)) << text << " vs " << c.text;
      EXPECT_LE(Metres(grid.Parse(geo::GridText_t(c.text), datum), p), tolerance + 1.5);
      EXPECT_LE(Metres(grid.Parse(geo::GridText_t(text), datum), p), 1.0);
    } catch (const glo::Exception_t& e) {
      ADD_FAILURE() << "exception from " << e.SourceFile() << ':' << e.Line();
    }
  }
}

// The parse of the text fails with the string of the id (formatted with the
// argument when one is given).
inline void ExpectParseError(const geo::Grid_t& grid, const std::string& text, int id, const char* argument = nullptr) {
  SCOPED_TRACE(testing::Message() << "'" << text << "'");
  std::string expected = glo::StringResource_t(id, GLO_SRC).Text();
  if (argument) expected = glo::StringResource_t(id, GLO_SRC).Format(argument, GLO_SRC);
  try {
    grid.Parse(geo::GridText_t(text), geo::GetWgs84Datum());
    ADD_FAILURE() << "no error";
  } catch (const glo::InvalidInput_t& e) {
    EXPECT_EQ(e.Text(), expected);
  }
}

struct ErrorCase {
  const geo::Grid_t* grid;
  const char* text;
  int id;
  const char* argument;
};

inline void ExpectParseErrors(const std::vector<ErrorCase>& cases) {
  for (const ErrorCase& c : cases) ExpectParseError(*c.grid, c.text, c.id, c.argument);
}

}  // namespace gridtest
