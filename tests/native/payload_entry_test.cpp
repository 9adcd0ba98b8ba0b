// Finding one named entry of the payload catalogue, as a removal does that takes a missing
// sub-setup from its own payload.
#include "install/payload_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "install/payload_core.h"

namespace {

std::vector<uint8_t> Catalogue(const std::vector<const char*>& names) {
  std::vector<uint8_t> bytes(names.size() * CATALOGUE_ENTRY_SIZE);
  for (size_t i = 0; i < names.size(); ++i) {
    CatalogueEntry entry = {};
    strncpy(entry.name, names[i], CATALOGUE_NAME_SIZE);
    entry.size = static_cast<uint32_t>(i + 1);
    WriteCatalogueEntry(entry, bytes.data() + i * CATALOGUE_ENTRY_SIZE);
  }
  return bytes;
}

TEST(PayloadEntry, FindsTheNamedEntry) {
  const std::string unterminated(CATALOGUE_NAME_SIZE, 'x');
  const std::vector<uint8_t> catalogue = Catalogue(
      {"QXLINK_Setup.exe", "QXLINK_Setup_x64.exe", "mp3lame\\lame_enc.dll", unterminated.c_str()});
  struct Case {
    const char* name;
    int count;
    int index;
  };
  const Case cases[] = {
      {"QXLINK_Setup_x64.exe", 4, 1},
      {"qxlink_setup.EXE", 4, 0},  // Windows names compare ignoring case
      {"mp3lame\\lame_enc.dll", 4, 2},
      {"QXMXVAIO3_Setup_x64.exe", 4, -1},  // not carried by this payload
      {"QXLINK_Setup", 4, -1},             // a stem is not a name
      {"QXLINK_Setup_x64.exe", 1, -1},     // beyond the count
      {"", 4, -1},
      {unterminated.c_str(), 4, -1},  // a name without its end names nothing
  };
  for (const Case& c : cases) {
    CatalogueEntry entry = {};
    const int index = FindCatalogueEntry(catalogue.data(), c.count, c.name, entry);
    EXPECT_EQ(index, c.index) << "\"" << c.name << "\" in " << c.count;
    if (index >= 0) {
      EXPECT_EQ(entry.size, static_cast<uint32_t>(index + 1)) << c.name;
    }
  }
  CatalogueEntry entry = {};
  EXPECT_EQ(FindCatalogueEntry(nullptr, 4, "QXLINK_Setup.exe", entry), -1);
  EXPECT_EQ(FindCatalogueEntry(catalogue.data(), 4, nullptr, entry), -1);
}

}  // namespace
