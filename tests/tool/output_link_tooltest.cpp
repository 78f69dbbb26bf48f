// -o naming a symbolic link that points at no file yet: the file it names is written and the
// link stays a link, holding what -o to a plain name writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "support/png_bytes.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(OutputLink, WritesTheFileTheLinkNames) {
  for (const char* command :
       {"compress rom.gba lz10 -o OUT", "import rom.gba p.png --offset 0x1000 -o OUT",
        "checksum rom.gba --fix -o OUT"}) {
    SCOPED_TRACE(command);
    TempDir dir;
    dir.Write("rom.gba", test::PatternBytes(0x4000, 5));  // its header checksums are wrong
    test::PngPicture picture;
    picture.Palette.assign(48, 0);
    picture.Samples.assign(64, 3);
    dir.Write("p.png", test::EncodePng(picture));
    ASSERT_EQ(::symlink("later.bin", dir.File("link.bin").c_str()), 0);
    const auto run = [&](const std::string& out) {
      std::vector<std::string> words;
      std::istringstream line(command);
      for (std::string word; line >> word;)
        words.push_back(word == "OUT"                 ? dir.File(out)
                        : word.find('.') != word.npos ? dir.File(word)
                                                      : word);
      return test::RunTool(dir, words);
    };
    const test::ToolRun plain = run("plain.bin");
    ASSERT_EQ(plain.status, 0) << plain.err;
    const test::ToolRun linked = run("link.bin");
    ASSERT_EQ(linked.status, 0) << linked.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.bin")));
    EXPECT_EQ(ReadFile(dir.File("later.bin")), ReadFile(dir.File("plain.bin")));
  }
}

}  // namespace
}  // namespace varnock
