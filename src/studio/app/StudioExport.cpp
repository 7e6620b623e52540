#include "studio/app/StudioExport.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <atomic>
#include <mutex>
#include <thread>

#include "bundle/io/ShowPacker.h"
#include "studio/app/StudioDialogs.h"

namespace quilo {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Packs on a thread of its own, the bar following it from here.
bool packWithBar(QWidget* parent, const PackRequest& request, PackReport& report,
                 std::string& error) {
    QProgressDialog bar(QStringLiteral("Esportazione dello spettacolo…"), QString(), 0, 1000,
                        parent);
    bar.setWindowTitle(QStringLiteral("Esporta spettacolo"));
    bar.setCancelButton(nullptr);
    bar.setWindowModality(Qt::WindowModal);
    bar.setMinimumDuration(300);
    std::mutex lock;
    std::string stage;
    std::atomic<int> permille{0};
    std::atomic<bool> done{false};
    bool packed = false;
    std::thread worker([&] {
        packed = packShow(request, report, error,
                          [&](const std::string& what, std::uint64_t at, std::uint64_t total) {
                              {
                                  std::lock_guard<std::mutex> hold(lock);
                                  stage = what;
                              }
                              permille = total ? static_cast<int>(at * 1000 / total) : 1000;
                          });
        done = true;
    });
    while (!done) {
        {
            std::lock_guard<std::mutex> hold(lock);
            if (stage == "Musica")
                bar.setLabelText(QStringLiteral("La musica del disco…"));
            else if (!stage.empty())
                bar.setLabelText(QStringLiteral("Immagini e suoni…"));
        }
        bar.setValue(permille);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    worker.join();
    return packed;
}

std::string lines(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& line : list) text += "\n• " + line;
    return text;
}

}  // namespace

void exportShowFile(QWidget* parent, const ShowExport& show) {
    const QFileInfo script(q(show.script));
    const QString start =
        show.suggested.empty()
            ? script.absoluteDir().filePath(script.completeBaseName() + QStringLiteral(".quilo"))
            : q(show.suggested);
    QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("Esporta spettacolo"), start,
                                                QStringLiteral("Spettacoli di Quilo (*.quilo)"));
    if (file.isEmpty()) return;
    if (!file.endsWith(QStringLiteral(".quilo"), Qt::CaseInsensitive))
        file += QStringLiteral(".quilo");
    PackRequest request;
    request.script = show.script;
    request.root = show.root;
    request.disc = show.disc;
    request.output = file.toStdString();
    request.keepBackup = true;  // a show file replaced is kept as ".bak"
    if (show.discKnown) {
        const int answer =
            ask(parent,
                QStringLiteral("Mettere nello spettacolo anche la musica del disco? Così in sala "
                               "non serve il CD (il file cresce di 300-450 MB per ora di musica)."),
                {QStringLiteral("Con la musica"), QStringLiteral("Senza musica"),
                 QStringLiteral("Annulla")});
        if (answer == 2) return;
        request.music = answer == 0;
    }
    PackReport report;
    std::string error;
    bool packed = packWithBar(parent, request, report, error);
    if (!packed && !report.missing.empty()) {
        const int answer = ask(parent,
                               QStringLiteral("Mancano file che il copione nomina:%1\n\nEsportare "
                                              "lo spettacolo senza di loro?")
                                   .arg(q(lines(report.missing))),
                               {QStringLiteral("Esporta senza"), QStringLiteral("Annulla")});
        if (answer != 0) return;
        request.allowMissing = true;
        report = {};
        packed = packWithBar(parent, request, report, error);
    }
    if (!packed) {
        QMessageBox::warning(
            parent, QStringLiteral("Esporta spettacolo"),
            QStringLiteral("Lo spettacolo non è stato esportato: %1").arg(q(error)));
        return;
    }
    QString text =
        QStringLiteral("Spettacolo esportato in %1: %2 file, %3 MB%4.")
            .arg(file)
            .arg(report.members)
            .arg(static_cast<double>(report.bytes) / 1e6, 0, 'f', 1)
            .arg(request.music ? QStringLiteral(", con la musica")
                               : QStringLiteral(", senza la musica (in sala serve il CD)"));
    if (!report.missing.empty())
        text += QStringLiteral("\n\nLasciati fuori:%1").arg(q(lines(report.missing)));
    for (const std::string& note : report.notes) text += QStringLiteral("\n\n") + q(note);
    QMessageBox::information(parent, QStringLiteral("Esporta spettacolo"), text);
}

}  // namespace quilo
