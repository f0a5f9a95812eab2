// The sound player's records: files as asked (names matched without case), beeps, the bound.
#include "deviceRootFixture.h"

#include "platform/sound.h"

namespace {

using SoundPlayer = DeviceRootTest;

TEST_F(SoundPlayer, RecordsEveryRequest)
{
    ASSERT_EQ(std::getenv("FIELDCORE_SOUND_PLAYER"), nullptr) << "tests never start a player";
    writeHost("sounds/Ding.wav", "RIFF");
    clearRecordedSounds();
    EXPECT_TRUE(PlaySoundW(L"\\sounds\\ding.WAV", nullptr, SND_ASYNC | SND_FILENAME));
    EXPECT_FALSE(PlaySoundW(L"\\sounds\\none.wav", nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME));
    EXPECT_FALSE(PlaySoundW(L"\\sounds", nullptr, SND_FILENAME)) << "a folder is no sound";
    EXPECT_TRUE(MessageBeep(0x10));
    const std::vector<SoundRecord> got = recordedSounds();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].path, L"\\sounds\\ding.WAV") << "recorded as asked";
    EXPECT_TRUE(got[0].fileExisted);
    EXPECT_FALSE(got[1].fileExisted);
    EXPECT_EQ(got[1].flags, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
    EXPECT_TRUE(got[3].beep);
    EXPECT_EQ(got[3].flags, 0x10u);
    for (int i = 0; i < 150; ++i)
        MessageBeep(MB_BEEP_SIMPLE);
    EXPECT_EQ(recordedSounds().size(), 100u) << "bounded";
    clearRecordedSounds();
    EXPECT_TRUE(recordedSounds().empty());
}

} // namespace
