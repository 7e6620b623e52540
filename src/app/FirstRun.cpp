#include "app/FirstRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <iostream>

namespace quilo {

namespace fs = std::filesystem;

std::optional<std::string> createRootFromDemo(const fs::path& root, const InstalledDemo& demo) {
    std::error_code ec;
    // Copied beside the root first, then renamed: never a half-made root.
    const fs::path making = root.string() + ".in-preparazione";
    fs::remove_all(making, ec);
    fs::create_directories(making, ec);
    if (!ec) fs::copy(demo.root, making, fs::copy_options::recursive, ec);
    if (!ec) fs::rename(making, root, ec);
    if (ec) {
        fs::remove_all(making, ec);
        return "Impossibile creare la cartella " + root.string();
    }
    return std::nullopt;
}

namespace {

// Why the program stops, in a box and on the terminal.
void tell(const QString& why) {
    QMessageBox::information(nullptr, QStringLiteral("Quilo"), why);
    std::cerr << "quilo: " << why.toStdString() << "\n";
}

// Qt names its standard buttons in English unless its translations are
// installed and the locale is Italian: the program names them itself.
bool askYesNo(const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quilo"), question,
                    QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool offerFirstRun(AppOptions& options, const fs::path& programDir) {
    const auto demo = findInstalledDemo(programDir);
    if (demo) options.demoDisc = demo->disc.string();
    const fs::path root(options.root);
    std::error_code ec;
    if (fs::exists(root, ec)) return true;
    if (!demo) return true;  // nothing to offer: the program says what is missing, as ever
    const QString question =
        QStringLiteral(
            "La cartella %1 non esiste ancora.\n\n"
            "Crearla adesso con una presentazione di prova (il file dei colori e la "
            "cartella Allegato con un copione, le sue immagini e un suono)?")
            .arg(QString::fromStdString(options.root));
    if (!askYesNo(question)) {
        const QString explain =
            QStringLiteral(
                "Quilo ha bisogno della cartella %1 con dentro \"Quilo 1.0/colori.txt\" (i due "
                "colori della presentazione, sei numeri da 0 a 255) e la cartella \"Allegato\" "
                "con i copioni. Si può indicare un'altra cartella con --root.")
                .arg(QString::fromStdString(options.root));
        tell(explain);
        return false;
    }
    if (auto failure = createRootFromDemo(root, *demo)) {
        tell(QString::fromStdString(*failure));
        return false;
    }
    // The demo plays on its own disc unless another was named.
    if (options.disc.empty() && !demo->disc.empty()) options.disc = demo->disc.string();
    return true;
}

}  // namespace quilo
