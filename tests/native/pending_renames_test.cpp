// Which of the machine's operations pending at the next restart an install takes back before
// it writes into its program folder, and that every other program's entry stays as it was.
#include "uninstall/pending_renames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Units = std::vector<uint16_t>;

// The value as stored: each text with its zero, then the zero that ends the list.
Units List(const std::vector<std::string>& texts, bool endZero = true) {
  Units units;
  for (const std::string& t : texts) {
    for (unsigned char c : t) units.push_back(c);
    units.push_back(0);
  }
  if (endZero) units.push_back(0);
  return units;
}

Units Wide(const char* text) {
  Units units;
  for (; *text; ++text) units.push_back(static_cast<unsigned char>(*text));
  units.push_back(0);
  return units;
}

const char FOLDER[] = "C:\\Program Files (x86)\\QX\\Mixarro";
const char IN[] = "\\??\\C:\\Program Files (x86)\\QX\\Mixarro";

struct Case {
  const char* what;
  std::vector<std::string> value;
  int dropped;
  std::vector<std::string> kept;  // the list written back (empty: the value goes)
};

}  // namespace

TEST(PendingDeletions, OnlyThisFoldersOwnNamesAreTakenBack) {
  const std::string in = IN;
  const std::vector<Case> cases = {
      {"a payload file", {in + "\\qxmxins_asiodriver.dll", ""}, 1, {}},
      {"the uninstaller copy", {in + "\\MixarroSetup-Indigo.exe", ""}, 1, {}},
      {"a sub-folder file", {in + "\\mp3lame\\lame_enc.dll", ""}, 1, {}},
      {"the folder itself", {in, ""}, 1, {}},
      {"the folder with a backslash", {in + "\\", ""}, 1, {}},
      {"other letter case", {"\\??\\c:\\PROGRAM FILES (X86)\\qx\\MIXARRO\\readme.txt", ""}, 1, {}},
      {"without the prefix", {std::string(FOLDER) + "\\readme.txt", ""}, 1, {}},
      {"a .del file stays",
       {in + "\\qxmxins_asiodriver.del", ""},
       0,
       {in + "\\qxmxins_asiodriver.del", ""}},
      {"a .DEL file stays", {in + "\\X.DEL", ""}, 0, {in + "\\X.DEL", ""}},
      {"a rename stays",
       {in + "\\a.dll", "!" + in + "\\b.dll"},
       0,
       {in + "\\a.dll", "!" + in + "\\b.dll"}},
      {"a sibling folder", {in + "2\\a.dll", ""}, 0, {in + "2\\a.dll", ""}},
      {"the parent folder",
       {"\\??\\C:\\Program Files (x86)\\QX", ""},
       0,
       {"\\??\\C:\\Program Files (x86)\\QX", ""}},
      {"another program", {"\\??\\C:\\Other\\x.dll", ""}, 0, {"\\??\\C:\\Other\\x.dll", ""}},
      {"mixed, order kept",
       {"\\??\\C:\\A\\1", "", in + "\\readme.txt", "", "\\??\\C:\\B\\2", "!\\??\\C:\\B\\3",
        in + "\\x.del", "", in, ""},
       2,
       {"\\??\\C:\\A\\1", "", "\\??\\C:\\B\\2", "!\\??\\C:\\B\\3", in + "\\x.del", ""}},
  };
  const Units folder = Wide(FOLDER);
  for (const Case& c : cases) {
    const Units value = List(c.value);
    Units out(value.size() + 8, 0xBEEF);
    size_t outUnits = 12345;
    EXPECT_EQ(DropPendingDeletionsBelow(value.data(), value.size(), folder.data(), out.data(),
                                        out.size(), &outUnits),
              c.dropped)
        << c.what;
    const Units expected = c.kept.empty() ? Units() : List(c.kept);
    EXPECT_EQ(Units(out.begin(), out.begin() + static_cast<long>(outUnits)), expected) << c.what;
  }
}

TEST(PendingDeletions, AValueThatIsNoWholeListIsLeftAlone) {
  const Units folder = Wide(FOLDER);
  const std::string in = IN;
  struct {
    const char* what;
    Units value;
    int expected;
  } cases[] = {
      {"a text without its zero", Units{'C', ':', '\\', 'x'}, -1},
      {"an odd list", List({in + "\\a", "", in + "\\b"}, false), -1},
      {"a pair without the end zero", List({in + "\\a", ""}, false), 1},
      {"empty", Units{}, 0},
      {"only the end zero", Units{0}, 0},
  };
  for (const auto& c : cases) {
    Units out(c.value.size() + 8);
    size_t outUnits = 7;
    EXPECT_EQ(DropPendingDeletionsBelow(c.value.data(), c.value.size(), folder.data(), out.data(),
                                        out.size(), &outUnits),
              c.expected)
        << c.what;
  }
  // The kept list must fit whole, or nothing is to be written.
  const Units value = List({"\\??\\C:\\Other\\long name.dll", "", in + "\\a", ""});
  Units out(10);
  size_t outUnits = 0;
  EXPECT_EQ(DropPendingDeletionsBelow(value.data(), value.size(), folder.data(), out.data(),
                                      out.size(), &outUnits),
            -1);
}
