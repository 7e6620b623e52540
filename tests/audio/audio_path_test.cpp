// The real audio path: the CD control streams into the sound server, the
// position advances at the rate the sound is heard, and what the sink plays is
// the disc's own samples, unshifted, through seeks, pauses and replays.
// scripts/test starts a PulseAudio server with a null sink for this; without
// one the test is skipped.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <iostream>

#include "audio/CdStreamer.h"
#include "audio/PulseAudioOutput.h"
#include "cd/CdControl.h"
#include "support/FakeDisc.h"

namespace quilo {
namespace {

using testing::FakeDisc;

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000) || p.exitCode() != 0) return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

TEST(AudioPath, PlaysTheDiscsSamplesAtRealTimeRateThroughSeeksAndReplays) {
    if (std::getenv("PULSE_SERVER") == nullptr || run("pactl", {"info"}).isEmpty()) {
        GTEST_SKIP() << "no PulseAudio server could be reached (scripts/test starts one)";
    }
    const QString sink = run("pactl", {"get-default-sink"});
    ASSERT_FALSE(sink.isEmpty());
    const QString recording = QDir::temp().filePath("quilo-monitor.raw");
    QProcess recorder;
    recorder.setStandardOutputFile(recording);
    recorder.start("parec", {"--raw", "--format=s16le", "--rate=44100", "--channels=2", "-d",
                             sink + ".monitor"});
    ASSERT_TRUE(recorder.waitForStarted());

    PulseAudioOutput output;
    CdControl cd(
        [] {
            return std::make_unique<FakeDisc>(std::vector<DiscTrack>{{0, 75 * 30}});
        },
        output);
    CdStreamer streamer(cd);
    streamer.start();
    cd.command(CdCommand::Open);
    cd.command(CdCommand::Play);

    // A new stream into an idle sink may be held back a moment: measure from
    // the first movement on.
    QElapsedTimer clock;
    clock.start();
    while (cd.heardSector() == 0 && clock.elapsed() < 5000) QTest::qWait(5);
    ASSERT_GT(cd.heardSector(), 0) << "the position never moved";
    EXPECT_TRUE(output.usingSoundDevice());
    // Every transport press goes through a flush of the stream.
    for (int round = 0; round < 3; ++round) {
        QTest::qWait(400);
        cd.buttonPrev();
        QTest::qWait(300);
        cd.buttonNext();
        QTest::qWait(300);
        cd.buttonPause();
        QTest::qWait(100);
        cd.buttonPlay();
        QTest::qWait(200);
        cd.buttonStop();
        cd.buttonPrev();
        cd.buttonPlay();
    }
    // The position waits, as it should, until the new play is actually heard:
    // the rate is measured from its first movement.
    const std::int32_t started = cd.heardSector();
    clock.restart();
    while (cd.heardSector() == started && clock.elapsed() < 5000) QTest::qWait(1);
    const std::int32_t from = cd.heardSector();
    clock.restart();
    QTest::qWait(3000);
    const std::int32_t to = cd.heardSector();
    const double seconds = clock.nsecsElapsed() / 1e9;
    cd.command(CdCommand::Stop);
    streamer.stop();
    recorder.terminate();
    recorder.waitForFinished(3000);

    const double rate = (to - from) / 75.0 / seconds;
    std::cout << "heard " << (to - from) << " sectors in " << seconds << " s: rate " << rate
              << "\n";
    EXPECT_NEAR(rate, 1.0, 0.02) << (to - from) << " sectors in " << seconds << " s";

    QFile file(recording);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The disc's right sample is always its left one's complement.
    const auto word = [&bytes](qsizetype i) {
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                          (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    };
    long sounding = 0, wrong = 0;
    for (qsizetype i = 0; i + 3 < bytes.size(); i += 4) {
        const std::uint16_t left = word(i), right = word(i + 2);
        if (left == 0 && right == 0) continue;
        ++sounding;
        if (static_cast<std::uint16_t>(~left) != right) ++wrong;
    }
    std::cout << sounding << " frames heard, " << wrong << " not the disc's\n";
    EXPECT_GT(sounding, 44100 * 3) << "no sound reached the sink (" << bytes.size() << " bytes)";
    EXPECT_LT(wrong, sounding / 1000);
    file.remove();
}

}  // namespace
}  // namespace quilo
