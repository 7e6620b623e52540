#include "remote/view/JoinWindow.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "remote/io/QrCode.h"

namespace quilo {

JoinWindow::JoinWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Telecomando \u2014 Quilo"));
    auto* layout = new QVBoxLayout(this);
    auto* hint =
        new QLabel(QStringLiteral("Inquadrare il codice con il telefono, sulla stessa rete. Chi ha "
                                  "l'indirizzo del telecomando comanda lo spettacolo: non "
                                  "mostrarlo al pubblico. Gli indirizzi del palco, della diretta "
                                  "e dei sottotitoli servono solo a guardare."),
                   this);
    hint->setWordWrap(true);
    which_ = new QComboBox(this);
    which_->setAccessibleName(QStringLiteral("Collegamento"));
    layout->addWidget(which_);
    connect(which_, &QComboBox::currentIndexChanged, this, [this](int index) { showLink(index); });
    code_ = new QLabel(this);
    code_->setAccessibleName(QStringLiteral("Codice QR del telecomando"));
    code_->setAlignment(Qt::AlignCenter);
    address_ = new QLabel(this);
    address_->setAccessibleName(QStringLiteral("Indirizzo del telecomando"));
    address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(hint);
    layout->addWidget(code_);
    layout->addWidget(address_);
    auto* renew = new QPushButton(QStringLiteral("Nuova chiave"), this);
    renew->setAccessibleName(QStringLiteral("Nuova chiave"));
    renew->setToolTip(
        QStringLiteral("La chiave vecchia non vale più: ogni telefono deve "
                       "inquadrare di nuovo il codice"));
    layout->addWidget(renew);
    connect(renew, &QPushButton::clicked, this, [this] {
        if (onNewKey) onNewKey();
    });
    auto* off = new QPushButton(QStringLiteral("Spegni il telecomando"), this);
    off->setAccessibleName(QStringLiteral("Spegni il telecomando"));
    layout->addWidget(off);
    connect(off, &QPushButton::clicked, this, [this] {
        if (onTurnOff) onTurnOff();
    });
}

void JoinWindow::setLinks(const QList<Link>& links) {
    const int shown = std::max(0, which_->currentIndex());
    links_ = links;
    QSignalBlocker quiet(which_);
    which_->clear();
    for (const Link& link : links) which_->addItem(link.title);
    which_->setCurrentIndex(std::min(shown, int(links.size()) - 1));
    showLink(which_->currentIndex());
}

void JoinWindow::showLink(int index) {
    if (index < 0 || index >= links_.size()) return;
    const QString& url = links_[index].url;
    address_->setText(url);
    const auto modules = qrModules(url.toStdString());
    if (modules.empty()) return;
    constexpr int kQuiet = 4;  // modules of white around the code, as readers need
    const int side = int(modules.size()) + 2 * kQuiet;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < int(modules.size()); ++y)
        for (int x = 0; x < int(modules.size()); ++x)
            if (modules[std::size_t(y)][std::size_t(x)])
                image.setPixel(x + kQuiet, y + kQuiet, qRgb(0, 0, 0));
    code_->setPixmap(QPixmap::fromImage(image.scaled(side * 8, side * 8)));
    // The viewers' links are longer than the remote's: the window grows to
    // show each address whole rather than cut it.
    adjustSize();
}

}  // namespace quilo
