// Makes the demo presentation's media: `quilo-demo disc DIR` writes a CD image
// (demo.cue and demo.flac) of three tracks of gentle synthesised music, about a
// minute each; `quilo-demo assets DIR` draws the demo's pictures and its bell.
#include <sndfile.h>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kFramesPerSector = 588;  // a CD sector: 1/75 of a second
constexpr double kPi = 3.14159265358979323846;

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// One track: a chord progression played as a soft pad with an arpeggio over it.
std::vector<std::int16_t> track(const std::vector<std::vector<int>>& chords, double secondsPerChord,
                                int sectors, double brightness) {
    const std::size_t frames = static_cast<std::size_t>(sectors) * kFramesPerSector;
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / kRate;
        const auto index = static_cast<std::size_t>(t / secondsPerChord) % chords.size();
        const auto& chord = chords[index];
        const double inChord = std::fmod(t, secondsPerChord);
        double pad = 0;
        for (int note : chord) {
            const double hz = noteHz(note);
            pad += std::sin(2 * kPi * hz * t) + 0.3 * std::sin(4 * kPi * hz * t);
        }
        pad *= 0.10 * std::min(1.0, inChord * 2) * std::min(1.0, (secondsPerChord - inChord) * 4);
        const double step = secondsPerChord / 8;
        const int arpIndex = static_cast<int>(inChord / step);
        const double inStep = std::fmod(inChord, step);
        const int arpNote =
            chord[static_cast<std::size_t>(arpIndex) % chord.size()] + 12 * (1 + arpIndex / 4 % 2);
        const double arp =
            brightness * std::sin(2 * kPi * noteHz(arpNote) * t) * std::exp(-inStep * 6);
        const double fade = std::min(1.0, std::min(t / 2.0, (frames / double(kRate) - t) / 3.0));
        const double left = (pad + 0.8 * arp) * fade;
        const double right = (pad + 0.5 * arp) * fade;
        out[2 * f] = static_cast<std::int16_t>(std::lround(std::clamp(left, -1.0, 1.0) * 14000));
        out[2 * f + 1] =
            static_cast<std::int16_t>(std::lround(std::clamp(right, -1.0, 1.0) * 14000));
    }
    return out;
}

std::string msf(int sectors) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / 4500, (sectors / 75) % 60,
                  sectors % 75);
    return text;
}

int makeDisc(const std::string& dir) {
    // The first track is long enough for the guide's example show, which ends
    // at 01:01:30; the others a minute each.
    const std::vector<int> seconds = {95, 62, 62};
    const std::vector<std::vector<std::vector<int>>> progressions = {
        {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}},  // C  Am F  G
        {{62, 65, 69}, {58, 62, 65}, {60, 64, 67}, {57, 61, 64}},  // Dm Bb C  A
        {{55, 59, 62}, {52, 55, 59}, {60, 64, 67}, {62, 66, 69}},  // G  Em C  D
    };
    // FLAC, losslessly: a sixth of the raw CD audio, the same samples.
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* flac = sf_open((dir + "/demo.flac").c_str(), SFM_WRITE, &info);
    if (!flac) return 1;
    double level = 1.0;
    sf_command(flac, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    std::ofstream cue(dir + "/demo.cue", std::ios::binary);
    cue << "FILE \"demo.flac\" WAVE\r\n";
    bool written = true;
    int start = 0;
    for (std::size_t i = 0; i < progressions.size(); ++i) {
        const int sectors = 75 * seconds[i];
        const auto samples =
            track(progressions[i], 2.4 + 0.2 * static_cast<double>(i), sectors, 0.25 + 0.05 * i);
        const auto frames = static_cast<sf_count_t>(samples.size() / 2);
        written = written && sf_writef_short(flac, samples.data(), frames) == frames;
        cue << "  TRACK " << (i < 9 ? "0" : "") << i + 1 << " AUDIO\r\n    INDEX 01 " << msf(start)
            << "\r\n";
        start += sectors;
    }
    written = sf_close(flac) == 0 && written;
    return written && cue ? 0 : 1;
}

void sky(QPainter& p, QSize size, QColor top, QColor bottom) {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(QRect(QPoint(0, 0), size), g);
}

// A picture of `size` pixels drawn on a canvas of `design` units, so that
// each picture keeps its drawing at the size the player shows it whole.
struct Canvas {
    QImage image;
    QPainter p;
    Canvas(QSize size, QSize design) : image(size, QImage::Format_RGB32), p(&image) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(double(size.width()) / design.width(), double(size.height()) / design.height());
    }
};

// Sizes each letter draws whole under the demo's background (itself whole at
// scale 8): 1463 x 1097 fills the display, 976 x 732 its right two thirds,
// 488 x 651 its right third, 731 x 1097 grows to the display's height.
bool drawPictures(const std::string& dir) {
    const QString folder = QString::fromStdString(dir);
    const QSize design(640, 480);
    bool ok = true;
    for (const auto& [name, size] :
         {std::pair{"mare", QSize(1463, 1097)}, std::pair{"vela", QSize(976, 732)}}) {
        Canvas c(size, design);
        sky(c.p, design, QColor(20, 40, 90), QColor(40, 120, 170));
        for (int i = 0; i < 6; ++i) {
            QPainterPath wave;
            const int y = 300 + i * 32;
            wave.moveTo(0, y);
            for (int x = 0; x <= 640; x += 40) wave.quadTo(x + 20, y - 12, x + 40, y);
            wave.lineTo(640, 480);
            wave.lineTo(0, 480);
            c.p.fillPath(wave, QColor(10, 60 + i * 15, 120 + i * 15, 200));
        }
        if (std::string_view(name) == "vela") {
            QPainterPath sail;
            sail.moveTo(330, 110);
            sail.lineTo(330, 300);
            sail.lineTo(220, 300);
            sail.closeSubpath();
            c.p.fillPath(sail, QColor(250, 245, 230));
            c.p.fillRect(QRect(200, 300, 170, 24), QColor(110, 60, 40));
        }
        ok &= c.image.save(folder + "/" + name + ".png");
    }
    {
        Canvas c(QSize(1463, 1097), design);
        sky(c.p, design, QColor(250, 200, 120), QColor(230, 110, 60));
        QRadialGradient sun(320, 330, 110);
        sun.setColorAt(0, QColor(255, 250, 210));
        sun.setColorAt(1, QColor(255, 180, 80, 0));
        c.p.fillRect(QRect(QPoint(0, 0), design), sun);
        c.p.fillRect(QRect(0, 340, 640, 140), QColor(60, 40, 70));
        ok &= c.image.save(folder + "/alba.png");
    }
    {
        Canvas c(QSize(1463, 1097), design);
        sky(c.p, design, QColor(150, 200, 240), QColor(220, 240, 250));
        const QColor greens[] = {QColor(90, 150, 70), QColor(60, 120, 50), QColor(40, 90, 40)};
        for (int i = 0; i < 3; ++i) {
            QPainterPath hill;
            hill.moveTo(-100, 480);
            hill.quadTo(120 + i * 180, 220 + i * 50, 740, 480);
            c.p.fillPath(hill, greens[i]);
        }
        ok &= c.image.save(folder + "/collina.png");
    }
    for (const auto& [name, size] :
         {std::pair{"torre", QSize(731, 1097)}, std::pair{"faro", QSize(488, 651)}}) {
        const QSize upright(360, 540);
        Canvas c(size, upright);
        const bool lighthouse = std::string_view(name) == "faro";
        sky(c.p, upright, QColor(60, 70, 120), QColor(200, 160, 170));
        const QColor wall = lighthouse ? QColor(230, 230, 225) : QColor(120, 100, 90);
        c.p.fillRect(QRect(140, 120, 80, 420), wall);
        c.p.fillRect(QRect(125, 100, 110, 30), QColor(100, 80, 75));
        for (int y = 150; y < 520; y += 60)
            c.p.fillRect(QRect(168, y, 24, 30),
                         lighthouse ? QColor(200, 40, 40) : QColor(250, 220, 120));
        ok &= c.image.save(folder + "/" + name + ".png");
    }
    return ok;
}

bool writeBell(const std::string& dir) {
    const int frames = kRate * 12 / 10;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames));
    for (int f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / kRate;
        const double v = (std::sin(2 * kPi * 880 * t) + 0.5 * std::sin(2 * kPi * 1320 * t) +
                          0.25 * std::sin(2 * kPi * 2217 * t)) *
                         std::exp(-t * 3.5) * 0.35;
        samples[static_cast<std::size_t>(f)] = static_cast<std::int16_t>(std::lround(v * 32767));
    }
    std::ofstream out(dir + "/campanella.wav", std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t data = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    u32(36 + data);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(data);
    out.write(reinterpret_cast<const char*>(samples.data()), data);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: quilo-demo disc|assets CARTELLA\n");
        return 2;
    }
    const std::string what = argv[1];
    if (what == "disc") return makeDisc(argv[2]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return drawPictures(argv[2]) && writeBell(argv[2]) ? 0 : 1;
}
