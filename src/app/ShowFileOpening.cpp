#include "app/ShowFileOpening.h"

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressDialog>
#include <iostream>
#include <memory>
#include <vector>

#include "bundle/io/ShowCache.h"

namespace quilo {
namespace {

// A bar only for a show that takes a while to unpack the first time.
class UnpackBar {
  public:
    void update(std::uint64_t done, std::uint64_t total) {
        if (!clock_.isValid()) clock_.start();
        if (!dialog_ && clock_.elapsed() < 400) return;
        if (!dialog_) {
            dialog_ = std::make_unique<QProgressDialog>(
                QStringLiteral("Apertura dello spettacolo…"), QString(), 0, 1000);
            dialog_->setWindowTitle(QStringLiteral("Quilo"));
            dialog_->setCancelButton(nullptr);
            dialog_->setMinimumDuration(0);
        }
        dialog_->setValue(total ? static_cast<int>(done * 1000 / total) : 1000);
        QCoreApplication::processEvents();
    }

  private:
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
};

bool takesValue(const QString& option) {
    static const QStringList kWithValue = {
        QStringLiteral("--root"),        QStringLiteral("--disc"), QStringLiteral("--sync-offset"),
        QStringLiteral("--screen"),      QStringLiteral("--from"), QStringLiteral("--remote-bind"),
        QStringLiteral("--remote-token")};
    return kWithValue.contains(option);
}

}  // namespace

bool openShowArgument(AppOptions& options) {
    if (!isShowFile(options.script)) return true;
    UnpackBar bar;
    std::string error;
    const auto show =
        openShowFile(options.script, error,
                     [&bar](std::uint64_t done, std::uint64_t total) { bar.update(done, total); });
    if (!show) {
        const std::string text = "Lo spettacolo " + options.script + " non si apre: " + error;
        std::cerr << "quilo: " << text << "\n";
        QMessageBox::warning(nullptr, QStringLiteral("Quilo"), QString::fromStdString(text));
        return false;
    }
    options.script = show->script;
    options.root = show->folder;
    if (options.disc.empty()) options.disc = show->disc;
    return true;
}

QStringList argumentsForShow(const QStringList& given, const QString& show) {
    QStringList kept;
    for (int i = 1; i < given.size(); ++i) {
        const QString& arg = given[i];
        if (takesValue(arg)) {
            const bool drop = arg == QStringLiteral("--root") || arg == QStringLiteral("--from");
            if (!drop) kept << arg;
            if (i + 1 < given.size() && !drop) kept << given[i + 1];
            ++i;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            kept << arg;
            bool number = false;
            if (arg == QStringLiteral("--remote") && i + 1 < given.size()) {
                given[i + 1].toInt(&number);
                if (number) kept << given[++i];
            }
        }  // else the script this run was given
    }
    kept << show;
    return kept;
}

int runAgainWith(const QStringList& given, const QString& show) {
    const QStringList arguments = argumentsForShow(given, show);
    const QByteArray program = QCoreApplication::applicationFilePath().toLocal8Bit();
    std::vector<QByteArray> bytes{program};
    for (const QString& arg : arguments) bytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    ::execv(program.constData(), argv.data());
    std::cerr << "quilo: non si può avviare lo spettacolo " << show.toStdString() << "\n";
    return 1;
}

}  // namespace quilo
