// Which file a sound event plays, and where the media folder comes from.
#include <gtest/gtest.h>

#include "core/sound_path.h"

namespace spotlex {
namespace {

TEST(SoundPath, DrivePathsPlayUnchangedNamesComeFromTheMediaFolder) {
    const std::string media = "C:\\Windows\\Media\\";
    EXPECT_EQ(ResolveSoundFile("C:\\Sounds\\click.wav", media), "C:\\Sounds\\click.wav");
    EXPECT_EQ(ResolveSoundFile("\\\\server\\share\\click.wav", media), "\\\\server\\share\\click.wav");
    EXPECT_EQ(ResolveSoundFile("\\click.wav", media), "\\click.wav");
    EXPECT_EQ(ResolveSoundFile("chimes.wav", media), "C:\\Windows\\Media\\chimes.wav");
    // A backslash further in is a name inside the media folder, as before.
    EXPECT_EQ(ResolveSoundFile("sub\\ding.wav", media), "C:\\Windows\\Media\\sub\\ding.wav");
    EXPECT_EQ(ResolveSoundFile("ab", media), "C:\\Windows\\Media\\ab");
    EXPECT_EQ(ResolveSoundFile("", media), "");
    EXPECT_EQ(ResolveSoundFile("", ""), "");
}

TEST(SoundPath, MediaFolderGetsExactlyOneBackslash) {
    EXPECT_EQ(ResolveSoundFile("chimes.wav", "C:\\Windows\\Media"), "C:\\Windows\\Media\\chimes.wav");
    EXPECT_EQ(ResolveSoundFile("chimes.wav", ""), "chimes.wav");
}

TEST(SoundPath, MediaFolderPreference) {
    EXPECT_EQ(PickMediaFolder("D:\\Old\\Media", "C:\\New\\Media", "C:\\Windows"), "D:\\Old\\Media\\");
    EXPECT_EQ(PickMediaFolder("", "C:\\Windows\\media", "C:\\Windows"), "C:\\Windows\\media\\");
    EXPECT_EQ(PickMediaFolder("", "", "C:\\Windows"), "C:\\Windows\\Media\\");
    EXPECT_EQ(PickMediaFolder("", "", "C:\\Windows\\"), "C:\\Windows\\Media\\");
    EXPECT_EQ(PickMediaFolder("", "", ""), "");
}

}  // namespace
}  // namespace spotlex
