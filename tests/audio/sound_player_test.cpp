#include "audio/ServerSoundPlayer.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/DiscFiles.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;

TEST(ServerSoundPlayer, PlaysWaveFilesAndFailsOnlyForFilesItCannotDecode) {
    TempDir dir;
    writeAudio(dir.path() / "ding.wav", toneTrack(2, 10), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeAudio(dir.path() / "slow.wav", toneTrack(1, 10), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050);
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.wav").c_str(), 0600), 0);
    writeAudio(dir.path() / "two-hertz.wav", toneTrack(1, 10), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2);
    ServerSoundPlayer player;
    EXPECT_TRUE(player.play((dir.path() / "ding.wav").string()));
    EXPECT_TRUE(player.play((dir.path() / "slow.wav").string()));  // cuts the first one off
    EXPECT_FALSE(player.play((dir.path() / "missing.wav").string()));
    EXPECT_FALSE(player.play(dir.write("junk.wav", "RIFF but not really").string()));
    EXPECT_FALSE(player.play((dir.path() / "fifo.wav").string()));       // never waits for a writer
    EXPECT_FALSE(player.play((dir.path() / "two-hertz.wav").string()));  // no rate to convert from
}

}  // namespace
}  // namespace quilo
