// `cmake --install` into a temporary prefix: the programs, the desktop entry, the icons, the manual pages
// and the documentation, each checked the way a distribution would check it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome Shell(const std::string& command, const TempDir& scratch) {
  const std::filesystem::path out = scratch.path() / "out.txt", err = scratch.path() / "err.txt";
  const int status = std::system((command + " >'" + out.string() + "' 2>'" + err.string() + "'").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

// Width and height from a PNG's header.
std::pair<uint32_t, uint32_t> PngSize(const std::string& png) {
  auto be32 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(png[at]) << 24 | static_cast<uint8_t>(png[at + 1]) << 16 |
                                 static_cast<uint8_t>(png[at + 2]) << 8 | static_cast<uint8_t>(png[at + 3]));
  };
  if (png.size() < 24 || png.compare(1, 3, "PNG") != 0) return {0, 0};
  return {be32(16), be32(20)};
}

TEST(Install, PutsEveryFileInPlaceAndEachChecksOut) {
  TempDir prefix, scratch;
  const Outcome install =
      Shell("cmake --install '" MOKUREN_BUILD_DIR "' --prefix '" + prefix.path().string() + "'", scratch);
  ASSERT_EQ(install.status, 0) << install.err;
  const std::filesystem::path root = prefix.path();

  std::set<std::string> installed;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file()) installed.insert(std::filesystem::relative(e.path(), root).string());
  const std::set<std::string> expected = {
      "bin/mokuren",
      "bin/mokuren-arc",
      "bin/mokuren-asm",
      "bin/mokuren-build",
      "bin/mokuren-disasm",
      "bin/mokuren-lint",
      "bin/mokuren-new",
      "bin/mokuren-test",
      "bin/mokuren-i18n",
      "share/applications/mokuren.desktop",
      "share/icons/hicolor/48x48/apps/mokuren.png",
      "share/icons/hicolor/128x128/apps/mokuren.png",
      "share/icons/hicolor/256x256/apps/mokuren.png",
      "share/man/man6/mokuren.6.gz",
      "share/man/man1/mokuren-arc.1.gz",
      "share/man/man1/mokuren-asm.1.gz",
      "share/man/man1/mokuren-build.1.gz",
      "share/man/man1/mokuren-disasm.1.gz",
      "share/man/man1/mokuren-lint.1.gz",
      "share/man/man1/mokuren-new.1.gz",
      "share/man/man1/mokuren-test.1.gz",
      "share/man/man1/mokuren-i18n.1.gz",
      "share/doc/mokuren/README.md",
      "share/doc/mokuren/automation.md",
      "share/doc/mokuren/scenario-language.md",
      "share/doc/mokuren/writers.md",
      "share/doc/mokuren/images/layer-positions.svg",
      "share/doc/mokuren/translating.md",
      "share/doc/mokuren/copyright",
      "share/doc/mokuren/changelog.gz",
      "share/metainfo/dev.mokuren.Mokuren.metainfo.xml",
      "share/mokuren/tl/de.po",
      "share/mokuren/tl/en.po",
      "share/mokuren/tl/es.po",
      "share/mokuren/tl/fr.po",
      "share/mokuren/tl/ko.po",
      "share/mokuren/tl/mokuren.pot",
      "share/mokuren/tl/ru.po",
      "share/mokuren/tl/zh_CN.po",
  };
  EXPECT_EQ(installed, expected);

  // The programs run from where they were put.
  EXPECT_EQ(Shell("'" + (root / "bin/mokuren").string() + "' --version", scratch).out, "Mokuren " MOKUREN_VERSION "\n");
  const char* const kTools[] = {"mokuren-arc",  "mokuren-asm",  "mokuren-build", "mokuren-disasm",
                                "mokuren-i18n", "mokuren-lint", "mokuren-new",   "mokuren-test"};
  for (const char* tool : kTools)
    EXPECT_EQ(Shell("'" + (root / "bin" / tool).string() + "' --help", scratch).status, 0) << tool;

  const std::filesystem::path desktop = root / "share/applications/mokuren.desktop";
  const Outcome validated = Shell("desktop-file-validate '" + desktop.string() + "'", scratch);
  EXPECT_EQ(validated.status, 0);
  EXPECT_EQ(validated.out + validated.err, "");
  const std::string entry = ReadFile(desktop);
  for (const char* line : {"Name=Mokuren\n", "Name[ja]=木蓮\n", "Icon=mokuren\n", "Categories=Game;AdventureGame;\n"})
    EXPECT_NE(entry.find(line), std::string::npos) << line;

  // The software centres' entry validates and names the desktop entry.
  const std::filesystem::path metainfo = root / "share/metainfo/dev.mokuren.Mokuren.metainfo.xml";
  const Outcome appstream = Shell("appstreamcli validate --no-net '" + metainfo.string() + "'", scratch);
  EXPECT_EQ(appstream.status, 0) << appstream.out << appstream.err;
  EXPECT_NE(ReadFile(metainfo).find("<launchable type=\"desktop-id\">mokuren.desktop</launchable>"), std::string::npos);

  for (uint32_t size : {48u, 128u, 256u}) {
    const std::string dir = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(ReadFile(root / "share/icons/hicolor" / dir / "apps/mokuren.png")), std::make_pair(size, size));
  }

  // The game's page points to every tool.
  const std::string gamePage = Shell("gzip -dc '" + (root / "share/man/man6/mokuren.6.gz").string() + "'", scratch).out;
  const std::string seeAlso = gamePage.substr(gamePage.find(".SH SEE ALSO"));
  for (std::string tool : kTools) {
    for (size_t at = 0; (at = tool.find('-', at)) != std::string::npos; at += 2) tool.insert(at, "\\");
    EXPECT_NE(seeAlso.find(".BR " + tool + " (1)"), std::string::npos) << tool;
  }

  for (const char* page :
       {"man6/mokuren.6", "man1/mokuren-arc.1", "man1/mokuren-asm.1", "man1/mokuren-build.1", "man1/mokuren-disasm.1",
        "man1/mokuren-i18n.1", "man1/mokuren-lint.1", "man1/mokuren-new.1", "man1/mokuren-test.1"}) {
    const Outcome shown =
        Shell("MANWIDTH=80 man --warnings -E UTF-8 -l '" + (root / "share/man" / page).string() + ".gz'", scratch);
    EXPECT_EQ(shown.status, 0) << page;
    EXPECT_EQ(shown.err, "") << page;
    EXPECT_NE(shown.out.find("NAME"), std::string::npos) << page;
  }
}

}  // namespace
}  // namespace mokuren::testing
