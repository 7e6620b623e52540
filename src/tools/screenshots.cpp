// Takes the README's screenshots: the chooser, the player panel and the
// display while the demo plays, from the real program under the offscreen
// platform, in virtual time. quilo-screenshots OUTDIR --root DIR --disc SOURCE
#include <QApplication>
#include <QDir>
#include <iostream>

#include "app/Stepper.h"

namespace {

class SilentSound : public quilo::SoundPlayer {
  public:
    bool play(const std::string&) override { return true; }
};
class PrintedMessages : public quilo::MessageBox {
  public:
    void show(const std::string& text) override { std::cerr << "messaggio: " << text << "\n"; }
};
class NoExit : public quilo::ProgramExit {
  public:
    void quit() override {}
};

bool save(QWidget& widget, const QString& path) {
    const bool ok = widget.grab().save(path);
    std::cout << (ok ? "scritto " : "non scritto ") << path.toStdString() << "\n";
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.size() < 2) {
        std::cerr << "uso: quilo-screenshots CARTELLA --root DIR --disc SORGENTE\n";
        return 2;
    }
    const QString out = arguments.takeAt(1);
    int exitCode = 0;
    const auto options = quilo::parseOptions(arguments, exitCode);
    if (!options) return exitCode;
    QApplication application(argc, argv);
    QDir().mkpath(out);
    SilentSound sound;
    PrintedMessages messages;
    NoExit exit;
    // The pictures are made without touching the user's remembered script.
    quilo::AppOptions withOwnSettings = *options;
    withOwnSettings.settingsFile = (out + QStringLiteral("/.impostazioni.ini")).toStdString();
    quilo::Stepper stepper(withOwnSettings, messages, exit, sound);
    quilo::QuiloApp& app = stepper.app();
    if (const auto failure = app.start()) {
        std::cerr << *failure << "\n";
        return 1;
    }
    app.displayView().resize(1280, 720);
    auto& files = app.chooserModel().files;
    const auto demo = std::find(files.begin(), files.end(), "demo.txt");
    if (demo != files.end())
        app.chooserView().fileList()->setCurrentRow(static_cast<int>(demo - files.begin()));
    stepper.step();
    bool ok = save(app.chooserView(), out + "/chooser.png");
    app.chooserView().lettoreButton()->click();
    stepper.step();
    app.displayView().resize(1280, 720);
    ok &= save(app.panelView(), out + "/panel.png");
    app.panelView().buttonBar().button(quilo::ButtonBar::Play)->click();
    stepper.stepUntil(1, 0, 19);
    stepper.stepFor(500);
    ok &= save(app.displayView(), out + "/display-picture.png");
    stepper.stepUntil(1, 0, 47);
    ok &= save(app.displayView(), out + "/display-column.png");
    stepper.stepUntil(2, 0, 10);
    ok &= save(app.displayView(), out + "/display-thirds.png");
    return ok ? 0 : 1;
}
