// The results the program can end with: one table in the code, the same table in the
// deployment guide, and no result returned that the table does not name.
#include "ground/results.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "drivers/subsetup.h"

namespace {

std::string ReadSource(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<int> TableCodes() {
  std::set<int> codes;
  for (int i = 0; i < RESULT_MEANING_COUNT; ++i) codes.insert(RESULT_MEANINGS[i].code);
  return codes;
}

std::string Listed(const std::set<int>& codes) {
  std::string text;
  for (int c : codes) text += std::to_string(c) + " ";
  return text;
}

}  // namespace

TEST(Results, EveryCodeHasOneMeaning) {
  EXPECT_EQ(TableCodes().size(), static_cast<size_t>(RESULT_MEANING_COUNT)) << "a code twice";
  for (int i = 0; i < RESULT_MEANING_COUNT; ++i) {
    EXPECT_STREQ(ResultWords(RESULT_MEANINGS[i].code), RESULT_MEANINGS[i].words);
    EXPECT_GT(strlen(RESULT_MEANINGS[i].words), 10u) << RESULT_MEANINGS[i].code;
  }
  for (int subsetup :
       {SUBSETUP_FAILED, SUBSETUP_RESTART_NEEDED, SUBSETUP_NO_PROCESS, SUBSETUP_NOT_STARTED})
    EXPECT_TRUE(TableCodes().count(subsetup)) << subsetup;
  EXPECT_STREQ(ResultWords(-2), "not a result of this program");
}

// The guide's table of exit codes has a row for every code of the program's table, and no
// other code.
TEST(Results, DeploymentGuideListsEveryCode) {
  const std::string guide =
      ReadSource(std::filesystem::path(MIXARRO_SOURCE_DIR) / "docs" / "deploying.md");
  ASSERT_FALSE(guide.empty()) << "docs/deploying.md not found";
  const size_t start = guide.find("\n## Exit codes");
  ASSERT_NE(start, std::string::npos);
  const size_t end = guide.find("\n## ", start + 1);
  const std::string section = guide.substr(start, end == std::string::npos ? end : end - start);
  std::set<int> documented;
  const std::regex row(R"(\n\| (-?[0-9]+) \|)");
  for (std::sregex_iterator it(section.begin(), section.end(), row), last; it != last; ++it)
    documented.insert(std::stoi((*it)[1]));
  EXPECT_EQ(Listed(documented), Listed(TableCodes()));
}

// A result written as a number where the program ends a step must be one of the table's:
// the procedures and the shell name their results by the table's constants.
TEST(Results, SourcesReturnOnlyCodesOfTheTable) {
  const std::filesystem::path root(MIXARRO_SOURCE_DIR);
  const std::regex literal(R"(return\s+(-[0-9]+)\s*;)");
  const std::set<int> table = TableCodes();
  int files = 0;
  for (const char* folder : {"procedures", "shell"}) {
    for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
      if (entry.path().extension() != ".cpp") continue;
      ++files;
      const std::string text = ReadSource(entry.path());
      for (std::sregex_iterator it(text.begin(), text.end(), literal), last; it != last; ++it)
        EXPECT_TRUE(table.count(std::stoi((*it)[1])))
            << entry.path().filename() << " returns " << (*it)[1];
    }
  }
  EXPECT_GT(files, 3);
}
