#include "system/os_version.h"

#include <gtest/gtest.h>

namespace {

struct OsCase {
  unsigned major, minor, productType;
  int expected;
  const char* system;
};

const OsCase OS_CASES[] = {
    // major minor type  code             system
    {4, 0, 1, OS_PRE_XP, "Windows 95 / NT 4.0"},
    {4, 10, 1, OS_XP, "Windows 98"},
    {4, 90, 1, OS_XP, "Windows Me"},
    {5, 0, 1, OS_PRE_XP, "Windows 2000"},
    {5, 1, 1, OS_XP, "Windows XP"},
    {5, 2, 1, OS_SERVER_2003, "XP Professional x64"},
    {5, 2, 3, OS_SERVER_2003, "Server 2003"},
    {6, 0, 1, OS_VISTA, "Vista"},
    {6, 0, 3, OS_VISTA, "Server 2008"},
    {6, 1, 1, OS_WIN7, "Windows 7"},
    {6, 1, 0, OS_VISTA, "6.1 from the basic record (no product type)"},
    {6, 1, 3, OS_VISTA, "Server 2008 R2"},
    {6, 2, 1, OS_WIN8, "Windows 8"},
    {6, 2, 3, OS_WIN8, "Server 2012"},
    {6, 3, 1, OS_WIN81, "Windows 8.1"},
    {6, 3, 3, OS_WIN81, "Server 2012 R2"},
    {6, 4, 1, OS_UNKNOWN, "6.4"},
    {7, 0, 1, OS_UNKNOWN, "7.0"},
    {9, 9, 1, OS_UNKNOWN, "9.9"},
    {10, 0, 1, OS_WIN10, "Windows 10 / 11"},
    {10, 0, 3, OS_WIN10, "Server 2016-2022"},
    {10, 5, 1, OS_WIN10, "10.5"},
    {11, 0, 1, OS_POST_WIN10, "11.0"},
    {0xFFFFFFFFu, 0, 1, OS_POST_WIN10, "largest major"},
};

TEST(ClassifyOs, Table) {
  for (const OsCase& c : OS_CASES) {
    EXPECT_EQ(ClassifyOs(c.major, c.minor, static_cast<uint8_t>(c.productType)), c.expected)
        << c.system << " " << c.major << "." << c.minor << " type " << c.productType;
  }
}

TEST(OsCodeLabel, EveryCodeAndOutside) {
  const struct {
    int code;
    const char* label;
  } labels[] = {
      {-1, "O/S: unknown"}, {0, "O/S: < XP"},    {1, "O/S: WIN XP"},  {2, "O/S: Server 2003"},
      {3, "O/S: VISTA"},    {4, "O/S: WIN7"},    {5, "O/S: WIN8"},    {6, "O/S: WIN8.1"},
      {7, "O/S: WIN10"},    {8, "O/S: > WIN10"}, {9, "O/S: unknown"}, {-2, "O/S: unknown"},
  };
  for (const auto& l : labels) EXPECT_STREQ(OsCodeLabel(l.code), l.label) << "code " << l.code;
}

}  // namespace
