// Dates written by a locale's short-date picture, as the Windows locale settings and the
// Linux locale's d_fmt (turned into a picture) give them.
#include <gtest/gtest.h>

#include "collectors/os/os_dates.h"

namespace tavrin::collectors {
namespace {

TEST(ShortDateText, PicturesOfCommonLocales) {
  struct Case {
    const char* picture;
    int year;
    unsigned month, day;
    const char* text;
  };
  const Case cases[] = {
      {"M/d/yyyy", 2026, 3, 7, "3/7/2026"},       // en-US
      {"dd.MM.yyyy", 2026, 3, 7, "07.03.2026"},   // de-DE
      {"dd/MM/yy", 2009, 12, 31, "31/12/09"},     // en-GB with a two-digit year
      {"yyyy-MM-dd", 2026, 12, 6, "2026-12-06"},  // sv-SE, ISO
      {"d-MMM-yy", 2026, 1, 5, "5-Jan-26"},       // month names
      {"dddd d MMMM yyyy", 2026, 12, 6, "Sunday 6 December 2026"},
      {"d 'de' MMMM", 2026, 5, 1, "1 de May"},  // quoted literal
      {"y", 2005, 1, 1, "5"},                   // year without century, unpadded
      {"", 2026, 2, 3, "2026-02-03"},           // no picture: the page's own form
      {"dd'unclosed", 2026, 2, 3, "03unclosed"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShortDateText(c.picture, c.year, c.month, c.day), c.text) << c.picture;
}

}  // namespace
}  // namespace tavrin::collectors
