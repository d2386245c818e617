#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDesktop.h"
#include "FakeFileSystem.h"
#include "install/ScreenPictures.h"

namespace orvitex::install {
namespace {

// Bugs caught: a run that fills the disk with pictures of one fault repeated, two
// pictures of one second written over each other, a failed capture kept as a
// picture, a name that loses its package or keeps its folder.
TEST(ScreenPictures, TenARunEachUnderItsOwnNameOrALineWhy) {
    EXPECT_EQ(PictureSubject(u"C:\\오르비설치\\uOrvitex1.exe"), u"uOrvitex1");
    EXPECT_EQ(PictureSubject(u"IHiraDurSetupSW0421.EXE"), u"IHiraDurSetupSW0421");
    EXPECT_EQ(PictureSubject(u".exe"), u".exe");
    EXPECT_EQ(ScreenPicturePath(u"20261208-001500", u"iOrvitex"),
              u"C:\\오르비설치\\orvitex-setup-20261208-001500-iOrvitex.png");

    testing::FakeDesktop desktop;
    std::vector<std::u16string> lines;
    testing::FakeFileSystem files;
    RunLog log(files, [&](std::u16string_view line) { lines.emplace_back(line); });
    std::vector<PictureRecord> kept;
    ScreenPictures pictures(desktop, log, kept);

    desktop.pictureFailure = u"no screen";
    pictures.Take(u"iOrvitex", u"limit reached");
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(lines.back(), u"screen picture not taken (limit reached): no screen");

    desktop.pictureFailure.reset();
    for (int i = 0; i < 10; ++i) {
        pictures.Take(u"iOrvitex", u"limit reached");
    }
    ASSERT_EQ(kept.size(), 9u);  // the failed try counts: ten tries a run
    EXPECT_EQ(desktop.pictures.size(), 9u);
    EXPECT_TRUE(kept[0].path.ends_with(u"-iOrvitex.png"));
    EXPECT_NE(kept[1].path, kept[0].path);
    EXPECT_EQ(lines.back(), u"screen picture not taken (limit reached): already 10 in this run");
}

}  // namespace
}  // namespace orvitex::install
