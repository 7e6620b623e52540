#include "cd/qt/QtSoundPlayer.h"

#include <gtest/gtest.h>

#include "support/DiscFiles.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;

TEST(QtSoundPlayer, PlaysWaveFilesAndFailsOnlyForFilesItCannotDecode) {
    TempDir dir;
    writeAudio(dir.path() / "ding.wav", toneTrack(2, 10), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeAudio(dir.path() / "slow.wav", toneTrack(1, 10), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050);
    QtSoundPlayer player;
    EXPECT_TRUE(player.play((dir.path() / "ding.wav").string()));
    EXPECT_TRUE(player.play((dir.path() / "slow.wav").string()));  // cuts the first one off
    EXPECT_FALSE(player.play((dir.path() / "missing.wav").string()));
    EXPECT_FALSE(player.play(dir.write("junk.wav", "RIFF but not really").string()));
}

}  // namespace
}  // namespace quilo
