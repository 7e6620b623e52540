#include "tools/export/Storyboard.h"

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <sstream>

#include "support/DisplayFakes.h"
#include "support/TempDir.h"

namespace quilo {
namespace {

using namespace quilo::testing;

class Playable : public SoundCheck {
  public:
    bool playable(const std::string&) override { return true; }
};

// Each cue becomes a picture of the display right after it, listed in order
// on a contact sheet whose text is the script's, made safe for HTML.
TEST(Storyboard, PaintsEachCueAndListsThemOnAContactSheet) {
    TempDir root;
    root.write("Quilo 1.0/colori.txt", "0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n");
    SimOptions options;
    options.script = root.write("Allegato/show.txt",
                                "01:00:01Sala <rossa> & blu12B\r\n01:00:03verde10B\r\n**\r\n")
                         .string();
    options.root = root.path().string();
    options.trackSectors = {75 * 10};
    Storyboard board(QString::fromStdString((root.path() / "board").string()), QSize(160, 120));
    std::filesystem::create_directories(root.path() / "board");
    options.onCue = [&](const CueReport& cue) { ASSERT_TRUE(board.add(cue)); };
    FakePictureProber pictures;
    Playable sounds;
    std::ostringstream out, err;
    ASSERT_EQ(Simulation(options, pictures, sounds, out, err).run(), 0) << err.str();
    ASSERT_TRUE(board.finish("prova"));

    EXPECT_EQ(board.cues(), 2);
    const QImage first(QString::fromStdString((root.path() / "board" / "cue-0001.png").string()));
    const QImage second(QString::fromStdString((root.path() / "board" / "cue-0002.png").string()));
    EXPECT_EQ(first.pixelColor(5, 5), QColor(255, 0, 0));  // colour 12 behind the caption
    EXPECT_EQ(second.pixelColor(5, 5), QColor(0, 255, 0));
    std::ifstream file(root.path() / "board" / "index.html");
    const std::string html((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(html.find("01:00:01Sala &lt;rossa&gt; &amp; blu12B"), std::string::npos);
    EXPECT_LT(html.find("cue-0001.png"), html.find("cue-0002.png"));
}

}  // namespace
}  // namespace quilo
