// The record Block keeps of `backup`: a digest that matches the standard's
// vectors (a block and a half, the padding boundaries), and a text that
// parses only as written.
#include <gtest/gtest.h>

#include <string>

#include "base/Sha256.h"
#include "hosts/BackupRecord.h"

namespace quietreel {
namespace {

TEST(BackupRecord, DigestIsSha256) {
  const struct {
    std::string bytes;
    const char* digest;
  } rows[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
  };
  for (const auto& row : rows) EXPECT_EQ(Sha256Hex(row.bytes), row.digest) << row.bytes.size();
}

TEST(BackupRecord, ParsesOnlyWhatBlockWrites) {
  const std::string backup = "127.0.0.1 localhost\r\n";
  const std::string hosts = backup + "# BEGIN Quietreel block list\r\n# END Quietreel block list\r\n";
  const std::string written = RecordText({DigestOf(backup), true, DigestOf(hosts)});
  const std::optional<BackupRecord> record = ParseRecord(written);
  ASSERT_TRUE(record);
  EXPECT_TRUE(record->lineBreakAdded);
  EXPECT_TRUE(Matches(record->backup, backup));
  EXPECT_TRUE(Matches(record->hostsAfterBlock, hosts));
  EXPECT_FALSE(Matches(record->backup, backup + " "));
  EXPECT_FALSE(Matches(record->backup, "127.0.0.1 localhosT\r\n"));
  const std::string beforeHosts = written.substr(0, written.find("hosts-size"));
  for (const std::string& bad : {std::string(), written.substr(0, written.size() - 2), written + "x", beforeHosts,
                                 "Quietreel backup\r\nsize=-1\r\n" + written.substr(written.find("sha256")),
                                 written.substr(0, written.find("line")) + "line-break-added=2\r\n" +
                                     written.substr(written.find("hosts-size"))})
    EXPECT_FALSE(ParseRecord(bad)) << bad;
}

}  // namespace
}  // namespace quietreel
