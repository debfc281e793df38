// The site description: what a good one gives, the faults reported with their line, and the
// demo's own description.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "standin/site/site_description.h"

namespace trenmoor::site {
namespace {

TEST(SiteDescription, EntriesGiveAccountsFoldersAndShares) {
  auto parsed = parseSiteDescription(
      "\xEF\xBB\xBF# a comment\r\n"
      "latency 50\r\n"
      "\r\n"
      "  account demo s3cret  \n"
      "folder _disk_id_14 我的 资源\n"
      "share 1AbCdEf x7k2 files=电影.mkv,文档.pdf\n"
      "share 1NoCode -\n"
      "share 1Slow s1w0 slow=2500x2 files=big.iso\n"
      "gone 1Gone");
  ASSERT_TRUE(parsed.ok()) << parsed.error->text();
  const SiteDescription& d = parsed.description;
  EXPECT_EQ(d.latencyMs, 50);
  ASSERT_EQ(d.accounts.size(), 1u);
  EXPECT_EQ(d.accounts[0].name, "demo");
  EXPECT_EQ(d.accounts[0].password, "s3cret");
  ASSERT_NE(d.folder("_disk_id_14"), nullptr);
  EXPECT_EQ(d.folder("_disk_id_14")->name, "我的 资源");
  ASSERT_EQ(d.shares.size(), 4u);
  EXPECT_EQ(d.share("1AbCdEf")->code, "x7k2");
  EXPECT_EQ(d.share("1AbCdEf")->files, (std::vector<std::string>{"电影.mkv", "文档.pdf"}));
  EXPECT_EQ(d.share("1NoCode")->code, "");
  EXPECT_TRUE(d.share("1NoCode")->files.empty());
  EXPECT_EQ(d.share("1Slow")->slowMs, 2500);
  EXPECT_EQ(d.share("1Slow")->slowRequests, 2);
  EXPECT_EQ(d.share("1AbCdEf")->slowRequests, 0);
  EXPECT_TRUE(d.share("1Gone")->gone);
  EXPECT_EQ(d.share("1Missing"), nullptr);
}

TEST(SiteDescription, FaultsAreReportedWithTheirLine) {
  struct Case {
    const char* text;
    std::int32_t line;
    const char* says;
  };
  const Case cases[] = {
      {"latency 50\nshare\n", 2, "share id"},
      {"lattency 50", 1, "unknown entry \"lattency\""},
      {"latency -1", 1, "latency takes"},
      {"latency 5 ms", 1, "latency takes"},
      {"account demo", 1, "a name and a password"},
      {"account demo a b", 1, "a name and a password"},
      {"account demo a\naccount demo b", 2, "described twice"},
      {"folder 我的资源", 1, "key of letters"},
      {"folder _disk_id_14", 1, "has no name"},
      {"folder a x\nfolder a y", 2, "described twice"},
      {"share 1A", 1, "needs an access code"},
      {"share 1A/b x7k2", 1, "share id"},
      {"share 1A x7-2", 1, "letters and digits"},
      {"share 1A x7k2 files=", 1, "files= takes"},
      {"share 1A x7k2 files=a,,b", 1, "files= takes"},
      {"share 1A x7k2 files=a files=b", 1, "given twice"},
      {"share 1A x7k2 slow=2500", 1, "slow= takes"},
      {"share 1A x7k2 slow=0x1", 1, "slow= takes"},
      {"share 1A x7k2 slow=2500x0", 1, "slow= takes"},
      {"share 1A x7k2 owner=me", 1, "unknown share option"},
      {"share 1A x7k2\ngone 1A", 2, "described twice"},
      {"gone 1A x7k2", 1, "only the id"},
      {"# fine\nfolder a \xB4\xF3\xCE\xC4\n", 2, "not UTF-8"},  // code page 936 text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto parsed = parseSiteDescription(c.text);
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.error->line, c.line);
    EXPECT_NE(parsed.error->message.find(c.says), std::string::npos) << parsed.error->message;
    EXPECT_TRUE(parsed.description.shares.empty() && parsed.description.accounts.empty());
  }
  auto missing = readSiteDescription("/nonexistent/site.txt");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error->line, 0);
  EXPECT_EQ(missing.error->text(), "cannot read the site description /nonexistent/site.txt");
  EXPECT_FALSE(readSiteDescription(std::filesystem::temp_directory_path().string()).ok());
}

TEST(SiteDescription, TheDemoDescriptionHasWhatTheDemoNeeds) {
  auto parsed = readSiteDescription(TRENMOOR_SOURCE_DIR "/demo/site.txt");
  ASSERT_TRUE(parsed.ok()) << parsed.error->text();
  const SiteDescription& d = parsed.description;
  ASSERT_EQ(d.accounts.size(), 1u);
  EXPECT_EQ(d.accounts[0].name, "demo");
  EXPECT_NE(d.folder("_disk_id_14"), nullptr);
  int good = 0, gone = 0, slow = 0;
  for (const auto& share : d.shares) {
    good += !share.gone && share.slowRequests == 0 && !share.code.empty();
    gone += share.gone;
    slow += share.slowRequests == 1 && share.slowMs > 1000;
  }
  EXPECT_GE(good, 3);  // two taken, one given a wrong code
  EXPECT_EQ(gone, 1);
  EXPECT_EQ(slow, 1);
}

}  // namespace
}  // namespace trenmoor::site
