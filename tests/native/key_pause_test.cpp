#include "keystrokes/key_pause.h"

#include <gtest/gtest.h>

#include "core/settings.h"

namespace spotlex {
namespace {

class KeyPauseTest : public ::testing::Test {
protected:
    std::uint64_t now = 1'000'000;
    KeyPause pause{[this] { return now; }};
};

TEST_F(KeyPauseTest, TheHotKeyPausesAndResumes) {
    pause.SetResumeMinutes(0);
    EXPECT_FALSE(pause.Paused());
    EXPECT_TRUE(pause.Toggle());
    EXPECT_TRUE(pause.Paused());
    // Without a resume time a pause lasts until the hot key comes again, however long.
    now += 24ull * 3600 * 1000;
    EXPECT_TRUE(pause.Paused());
    EXPECT_EQ(pause.MsUntilResume(), 0u);
    EXPECT_FALSE(pause.Toggle());
    EXPECT_FALSE(pause.Paused());
}

TEST_F(KeyPauseTest, APauseEndsByItselfAtTheSetMinute) {
    pause.SetResumeMinutes(5);
    pause.Toggle();
    now += 5 * 60000 - 1;
    EXPECT_TRUE(pause.Paused());
    EXPECT_EQ(pause.MsUntilResume(), 1u);
    now += 1;
    EXPECT_FALSE(pause.Paused());
    EXPECT_EQ(pause.MsUntilResume(), 0u);
    // The hot key after a pause that ran out starts a new one, with its full time.
    EXPECT_TRUE(pause.Toggle());
    EXPECT_EQ(pause.MsUntilResume(), 5u * 60000);

    // A shorter time chosen during a pause counts from the pause's start.
    now += 60000;
    pause.SetResumeMinutes(1);
    EXPECT_FALSE(pause.Paused());
}

TEST(PauseHotKeyTest, TheStoredCombinationBecomesRegisterHotKeysArguments) {
    // Ctrl+Alt+Shift+P: MOD_ALT | MOD_CONTROL | MOD_SHIFT and 'P'.
    EXPECT_EQ(HotKeyModFlags(settings::kPauseHotKey.def), 1u | 2u | 4u);
    EXPECT_EQ(HotKeyVirtualKey(settings::kPauseHotKey.def), static_cast<std::uint32_t>('P'));
    // Windows key with F9.
    EXPECT_EQ(HotKeyModFlags(0x80078), 8u);
    EXPECT_EQ(HotKeyVirtualKey(0x80078), 0x78u);
}

}  // namespace
}  // namespace spotlex
