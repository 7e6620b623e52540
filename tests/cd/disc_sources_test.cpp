#include "cd/io/DiscSources.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "cd/CdControl.h"
#include "cd/CdReadout.h"
#include "cd/ManualAudioOutput.h"
#include "support/DiscFiles.h"
#include "support/FakeDisc.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;

// Three tracks of 150, 225 and 100 sectors (2, 3 and 1.33 seconds).
class DiscSourcesTest : public ::testing::Test {
  protected:
    DiscSourcesTest() {
        for (int t = 1; t <= 3; ++t) {
            tracks.push_back(toneTrack(t, lengths[t - 1]));
            for (auto s : tracks.back()) all.push_back(s);
        }
    }

    std::string writeCue(const std::string& body, const std::string& name = "disc.cue") {
        return dir.write(name, body).string();
    }
    std::string binAndCue() {
        writeBytes(dir.path() / "disc.bin", littleEndian(all));
        return writeCue(
            "FILE \"disc.bin\" BINARY\r\n"
            "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
            "  TRACK 02 AUDIO\r\n    INDEX 01 " +
            msf(150) +
            "\r\n"
            "  TRACK 03 AUDIO\r\n    INDEX 01 " +
            msf(375) + "\r\n");
    }
    std::vector<std::uint8_t> readAll(DiscSource& disc) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(disc.endSector()) * kSectorBytes);
        for (std::int32_t s = 0; s < disc.endSector(); ++s) {
            EXPECT_TRUE(
                disc.readSector(s, bytes.data() + static_cast<std::size_t>(s) * kSectorBytes))
                << s;
        }
        return bytes;
    }

    TempDir dir;
    const int lengths[3] = {150, 225, 100};
    std::vector<std::vector<std::int16_t>> tracks;
    std::vector<std::int16_t> all;
    std::string error;
};

TEST_F(DiscSourcesTest, ReadsTheTableAndSamplesOfABinaryCueSheet) {
    auto disc = openDiscSource(binAndCue(), error);
    ASSERT_TRUE(disc) << error;
    EXPECT_EQ(disc->tracks(), (std::vector<DiscTrack>{{0, 150}, {150, 225}, {375, 100}}));
    EXPECT_EQ(readAll(*disc), littleEndian(all));
}

TEST_F(DiscSourcesTest, SwapsTheBytesOfMotorolaData) {
    auto bytes = littleEndian(all);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    writeBytes(dir.path() / "disc.be", bytes);
    auto disc = openCueSheet(
        writeCue("FILE \"disc.be\" MOTOROLA\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"), error);
    ASSERT_TRUE(disc) << error;
    EXPECT_EQ(readAll(*disc), littleEndian(all));
}

TEST_F(DiscSourcesTest, HonoursEveryFileLineWithPregapsAsTheSheetSays) {
    writeBytes(dir.path() / "one.bin", littleEndian(tracks[0]));
    writeAudio(dir.path() / "two.wav", tracks[1], SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeAudio(dir.path() / "Three.flac", tracks[2], SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    auto disc =
        openCueSheet(writeCue("FILE \"one.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                              "FILE \"two.wav\" WAVE\n  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n"
                              "    INDEX 01 00:01:00\n"
                              "FILE \"three.flac\" WAVE\n  TRACK 03 AUDIO\n    PREGAP 00:00:30\n"
                              "    INDEX 01 00:00:00\n"),
                     error);
    ASSERT_TRUE(disc) << error;
    // Track 2's first second is its pregap (in the file); track 3 has 30 sectors of
    // silence first. A track's length runs to the next track's start, pregap included.
    EXPECT_EQ(disc->tracks(), (std::vector<DiscTrack>{{0, 225}, {225, 180}, {405, 100}}));
    std::vector<std::uint8_t> sector(kSectorBytes);
    ASSERT_TRUE(disc->readSector(150, sector.data()));
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), littleEndian(tracks[1]).begin()));
    ASSERT_TRUE(disc->readSector(390, sector.data()));
    EXPECT_TRUE(std::all_of(sector.begin(), sector.end(), [](std::uint8_t b) { return b == 0; }));
    ASSERT_TRUE(disc->readSector(405, sector.data()));
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), littleEndian(tracks[2]).begin()));
}

TEST_F(DiscSourcesTest, StartsEachTrackAtItsIndexOneInEveryLayoutRippersWrite) {
    // 525 sectors of disc: track 1 holds 225, the last 28 of them track 2's gap.
    const auto disc = FakeDisc::samples(0, 525);
    const auto part = [&](int from, int to) {
        return std::vector<std::uint8_t>(disc.begin() + from * kSectorBytes,
                                         disc.begin() + to * kSectorBytes);
    };
    struct Layout {
        const char* name;
        std::vector<std::uint8_t> one, two;
        std::string sheet;
    };
    const Layout layouts[] = {
        {"gap at the end of the first file", part(0, 225), part(225, 525),
         "FILE \"one.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
         "INDEX 00 00:02:47\nFILE \"two.bin\" BINARY\nINDEX 01 00:00:00\n"},
        {"gap at the start of the second file", part(0, 197), part(197, 525),
         "FILE \"one.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"two.bin\" BINARY\n"
         "TRACK 02 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:00:28\n"},
        {"gap in no file", part(0, 197), part(225, 525),
         "FILE \"one.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"two.bin\" BINARY\n"
         "TRACK 02 AUDIO\nPREGAP 00:00:28\nINDEX 01 00:00:00\n"},
    };
    for (const Layout& layout : layouts) {
        writeBytes(dir.path() / "one.bin", layout.one);
        writeBytes(dir.path() / "two.bin", layout.two);
        auto source = openCueSheet(writeCue(layout.sheet), error);
        ASSERT_TRUE(source) << layout.name << ": " << error;
        EXPECT_EQ(source->tracks(), (std::vector<DiscTrack>{{0, 225}, {225, 300}})) << layout.name;
        std::vector<std::uint8_t> sector(kSectorBytes);
        for (const int at : {0, 196, 225, 524}) {
            ASSERT_TRUE(source->readSector(at, sector.data()));
            EXPECT_EQ(sector, part(at, at + 1)) << layout.name << ", sector " << at;
        }
    }
}

TEST_F(DiscSourcesTest, LaysAFolderOfWavAndFlacFilesBackToBackInNameOrder) {
    const auto folder = dir.path() / "tracks";
    std::filesystem::create_directories(folder);
    writeAudio(folder / "02 second.flac", tracks[1], SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    writeAudio(folder / "01 first.wav", tracks[0], SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeAudio(folder / "03 third.WAV", tracks[2], SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    dir.write("tracks/notes.txt", "not audio");
    auto disc = openDiscSource(folder.string(), error);
    ASSERT_TRUE(disc) << error;
    EXPECT_EQ(disc->tracks(), (std::vector<DiscTrack>{{0, 150}, {150, 225}, {375, 100}}));
    EXPECT_EQ(readAll(*disc), littleEndian(all));
}

TEST_F(DiscSourcesTest, ConvertsOtherSampleRatesToCdRate) {
    const auto folder = dir.path() / "rates";
    std::filesystem::create_directories(folder);
    // A slow ramp: every output frame tells where in the input it comes from.
    std::vector<std::int16_t> second(48000 * 2);
    for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<std::int16_t>(i / 8);
    writeAudio(folder / "a.wav", second, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000);
    auto disc = openTrackFolder(folder.string(), error);
    ASSERT_TRUE(disc) << error;
    EXPECT_EQ(disc->tracks().front().length, 75);  // one second
    const auto expected = [](std::int64_t frame) { return frame * 48000.0 / 44100.0 / 4.0; };
    std::vector<std::uint8_t> sector(kSectorBytes);
    // Read on from sector to sector, then jump back and forth.
    for (const std::int32_t at : {1, 2, 3, 40, 41, 10, 73}) {
        ASSERT_TRUE(disc->readSector(at, sector.data()));
        for (int f = 0; f < kFramesPerSector; f += 97) {
            const int left = static_cast<std::int16_t>(sector[4 * f] | (sector[4 * f + 1] << 8));
            EXPECT_NEAR(left, expected(std::int64_t{at} * kFramesPerSector + f), 4)
                << "sector " << at << ", frame " << f;
        }
    }
}

TEST_F(DiscSourcesTest, FailsWithOneClearLineForSourcesThatCannotBeOpened) {
    EXPECT_FALSE(openDiscSource((dir.path() / "missing.cue").string(), error));
    EXPECT_NE(error.find("Impossibile aprire il disco"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_FALSE(openDiscSource(
        writeCue("FILE \"gone.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"), error));
    EXPECT_FALSE(openDiscSource((dir.path() / "nothing.toc").string(), error));
    std::filesystem::create_directories(dir.path() / "empty");
    EXPECT_FALSE(openDiscSource((dir.path() / "empty").string(), error));
}

TEST_F(DiscSourcesTest, RefusesOrBoundsHostileSourcesQuietly) {
    namespace fs = std::filesystem;
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.bin").c_str(), 0600), 0);
    ::testing::internal::CaptureStderr();
    std::string garbage(8192, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 37);
    EXPECT_FALSE(openDiscSource(writeCue(garbage, "garbage.cue"), error));
    EXPECT_FALSE(openDiscSource(
        writeCue("FILE \"fifo.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "f.cue"), error));
    EXPECT_NE(error.find("non è un file regolare"), std::string::npos) << error;
    EXPECT_FALSE(openDiscSource((dir.path() / "fifo.bin").string(), error));
    EXPECT_FALSE(openDiscSource(
        dir.write("fifo.toc", "CD_DA\nTRACK AUDIO\nFILE \"fifo.bin\" 0 00:02:00\n").string(),
        error));

    // A TOC with a file name of 100,000 characters, and one of 99,999,999 minutes.
    const auto longName = dir.write(
        "long.toc", "CD_DA\nTRACK AUDIO\nFILE \"" + std::string(100000, 'x') + "\" 0 00:02:00\n");
    EXPECT_FALSE(openDiscSource(longName.string(), error));
    writeBytes(dir.path() / "disc.raw", littleEndian(all));
    const auto endless =
        dir.write("endless.toc", "CD_DA\nTRACK AUDIO\nFILE \"disc.raw\" 0 99999999:00:00\n");
    EXPECT_FALSE(openDiscSource(endless.string(), error));  // its length would be negative
    EXPECT_NE(error.find("tabella"), std::string::npos) << error;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    // 120 tracks in a folder: the first 99, one note, one file open at a time.
    const auto folder = dir.path() / "many";
    fs::create_directories(folder);
    for (int i = 0; i < 120; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.wav", i);
        writeAudio(folder / name, toneTrack(1, 1), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    }
    const auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openFiles();
    auto disc = openDiscSource(folder.string(), error);
    ASSERT_TRUE(disc) << error;
    EXPECT_EQ(disc->tracks().size(), 99u);
    EXPECT_EQ(disc->notes.size(), 1u);
    std::vector<std::uint8_t> sector(kSectorBytes);
    for (std::int32_t s = 0; s < disc->endSector(); ++s) disc->readSector(s, sector.data());
    EXPECT_LE(openFiles(), before + 1);

    // A link planted where a careless copy of a TOC image would be written
    // (a predictable name in the temporary folder) is left alone.
    const auto victim = dir.write("victim.txt", "precious");
    const auto toc = dir.write("disc.toc", "CD_DA\nTRACK AUDIO\nFILE \"disc.raw\" 0 00:01:00\n");
    const auto planted =
        fs::temp_directory_path() / ("quilo-" + std::to_string(::getpid()) + "-disc.toc");
    fs::create_symlink(victim, planted);
    EXPECT_TRUE(openDiscSource(toc.string(), error)) << error;
    fs::remove(planted);
    std::ifstream in(victim);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
}

TEST_F(DiscSourcesTest, ReadsATocImageThroughLibcdio) {
    writeBytes(dir.path() / "disc.raw", littleEndian(all));
    const auto toc = dir.write("disc.toc",
                               "CD_DA\n"
                               "TRACK AUDIO\nFILE \"disc.raw\" 0 " +
                                   msf(150) +
                                   "\n"
                                   "TRACK AUDIO\nFILE \"disc.raw\" " +
                                   msf(150) + " " + msf(225) +
                                   "\n"
                                   "TRACK AUDIO\nFILE \"disc.raw\" " +
                                   msf(375) + " " + msf(100) + "\n");
    auto disc = openDiscSource(toc.string(), error);
    ASSERT_TRUE(disc) << error;
    EXPECT_EQ(disc->tracks(), (std::vector<DiscTrack>{{0, 150}, {150, 225}, {375, 100}}));
    EXPECT_EQ(readAll(*disc), littleEndian(all));
}

TEST_F(DiscSourcesTest, PlaysAnImageThroughTheControlExactly) {
    ManualAudioOutput output;
    const std::string cue = binAndCue();
    CdControl cd(
        [&] {
            std::string e;
            return openDiscSource(cue, e);
        },
        output);
    cd.command(CdCommand::Open);
    cd.setTo(2);
    cd.command(CdCommand::Seek);
    cd.command(CdCommand::Play);
    for (int i = 0; i < 400 && cd.mode() == CdMode::Playing; ++i) {
        cd.pump();
        output.play(kFramesPerSector);
    }
    const auto bytes = littleEndian(all);
    EXPECT_EQ(output.written,
              std::vector<std::uint8_t>(bytes.begin() + 150 * kSectorBytes, bytes.end()));

    Modulo1 state;
    PanelModel panel;
    CdReadout readout(state, cd, panel);
    readout.LetturaCodiceCd();
    // 3 tracks; lengths 0:02:00, 0:03:00, 0:01:25; starts 0:02:00, 0:04:00, 0:07:00.
    const std::int32_t code =
        3 + (2 << 8) + (3 << 8) + (1 << 8) + (25 << 16) + (2 << 8) + (4 << 8) + (7 << 8);
    EXPECT_EQ(panel.Text7, std::to_string(code));
}

// A drive's own path (cdparanoia's verified reads, sector by sector) run on an
// image, since no machine here has a drive: the same samples as the image read
// directly, in order, across seeks and track changes; nothing past the end;
// and an image cut short while it plays gives silence and says so, never a hang.
TEST_F(DiscSourcesTest, ReadsAnImageThroughParanoiaExactlyAsDirectly) {
    const std::string cue = binAndCue();
    auto direct = openCdio(cue, error);
    ASSERT_TRUE(direct) << error;
    auto paranoia = openCdio(cue, error, CdioReading::ThroughParanoia);
    ASSERT_TRUE(paranoia) << error;
    EXPECT_EQ(paranoia->tracks(), (std::vector<DiscTrack>{{0, 150}, {150, 225}, {375, 100}}));
    EXPECT_EQ(readAll(*paranoia), littleEndian(all));

    std::vector<std::uint8_t> a(kSectorBytes), b(kSectorBytes);
    for (const std::int32_t sector : {300, 10, 149, 150, 474, 0, 375, 374, 200, 201, 3}) {
        ASSERT_TRUE(direct->readSector(sector, a.data()));
        ASSERT_TRUE(paranoia->readSector(sector, b.data())) << sector;
        EXPECT_EQ(a, b) << "sector " << sector;
    }
    EXPECT_FALSE(paranoia->readSector(475, b.data()));  // past the lead-out
    EXPECT_FALSE(paranoia->readSector(5000, b.data()));
    ASSERT_TRUE(paranoia->readSector(20, b.data()));  // and back
    ASSERT_TRUE(direct->readSector(20, a.data()));
    EXPECT_EQ(a, b);

    // Cut after sector 300 while the disc plays from track 2.
    ManualAudioOutput output;
    CdControl cd(
        [&] {
            std::string e;
            return openCdio(cue, e, CdioReading::ThroughParanoia);
        },
        output);
    cd.command(CdCommand::Open);
    cd.setTo(2);
    cd.command(CdCommand::Seek);
    cd.command(CdCommand::Play);
    ASSERT_EQ(::truncate((dir.path() / "disc.bin").c_str(), 300L * kSectorBytes), 0);
    for (int i = 0; i < 400 && cd.mode() == CdMode::Playing; ++i) {
        cd.pump();
        output.play(kFramesPerSector);
    }
    EXPECT_EQ(cd.mode(), CdMode::Stopped);
    ASSERT_EQ(output.written.size(), std::size_t{325} * kSectorBytes);
    // Each sector played is the disc's own or silence; paranoia gives up a
    // little before the cut, as its verification reads past each sector.
    const auto bytes = littleEndian(all);
    int silent = 0;
    for (std::size_t n = 0; n < 325; ++n) {
        const auto played = output.written.begin() + std::ptrdiff_t(n * kSectorBytes);
        const bool own = std::equal(played, played + kSectorBytes,
                                    bytes.begin() + std::ptrdiff_t((150 + n) * kSectorBytes));
        const bool silence =
            std::all_of(played, played + kSectorBytes, [](std::uint8_t byte) { return byte == 0; });
        EXPECT_TRUE(own || silence) << "sector " << 150 + n;
        EXPECT_TRUE(n >= 120 || own) << "sector " << 150 + n << " is well before the cut";
        EXPECT_TRUE(n < 150 || silence) << "sector " << 150 + n << " is past the cut";
        silent += silence;
    }
    const auto failed = cd.takeReadFailures();
    ASSERT_TRUE(failed);
    EXPECT_GT(failed->sectors, 0);
    EXPECT_LE(failed->sectors, silent);
    EXPECT_GE(failed->first.sectorsIntoTrack(), 120);
    EXPECT_EQ(failed->first.track, 2);
    EXPECT_FALSE(cd.takeReadFailures());
}

}  // namespace
}  // namespace quilo
