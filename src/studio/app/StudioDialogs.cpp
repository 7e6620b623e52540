#include "studio/app/StudioDialogs.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "studio/app/StudioEditor.h"

namespace quilo {

int ask(QWidget* parent, const QString& text, const QStringList& answers) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quilo Studio"), text,
                    QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> buttons;
    for (const QString& answer : answers)
        buttons.push_back(box.addButton(answer, QMessageBox::ActionRole));
    box.setEscapeButton(buttons.back());
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? int(buttons.size()) - 1 : int(chosen - buttons.begin());
}

bool convertibleForSaving(QWidget* parent, StudioEditor& editor) {
    const auto line = editor.document().firstUnwritable();
    if (!line) return true;
    const int answer =
        ask(parent,
            QStringLiteral("La riga %1 contiene caratteri che la codifica del file (Windows-1252) "
                           "non può scrivere. Salvare il copione in UTF-8?")
                .arg(*line + 1),
            {QStringLiteral("Salva in UTF-8"), QStringLiteral("Annulla")});
    if (answer != 0) {
        editor.selectQuietly(*line);
        return false;
    }
    editor.document().convertToUtf8();
    return true;
}

std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                               const QString& value) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

std::optional<int> askSeconds(QWidget* parent, const QString& title, const QString& label) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(-600, 600);
    dialog.setIntValue(1);
    dialog.setOkButtonText(QStringLiteral("Sposta"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.intValue();
}

std::optional<std::pair<QString, QString>> askReplace(QWidget* parent, const QString& find) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Sostituisci"));
    auto* form = new QFormLayout(&dialog);
    auto* what = new QLineEdit(find, &dialog);
    what->setAccessibleName(QStringLiteral("Trova"));
    auto* with = new QLineEdit(&dialog);
    with->setAccessibleName(QStringLiteral("Sostituisci con"));
    form->addRow(QStringLiteral("Trova"), what);
    form->addRow(QStringLiteral("Sostituisci con"), with);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Sostituisci tutto"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || what->text().isEmpty()) return std::nullopt;
    return std::make_pair(what->text(), with->text());
}

std::optional<NewScriptChoice> askNewScript(QWidget* parent, const QString& folder,
                                            const std::function<bool(const QString&)>& nameTaken) {
    QInputDialog nameDialog(parent);
    nameDialog.setWindowTitle(QStringLiteral("Nuovo copione"));
    nameDialog.setLabelText(QStringLiteral("Nome del copione:"));
    nameDialog.setTextValue(QStringLiteral("nuovo"));
    nameDialog.setOkButtonText(QStringLiteral("Avanti"));
    nameDialog.setCancelButtonText(QStringLiteral("Annulla"));
    if (nameDialog.exec() != QDialog::Accepted) return std::nullopt;
    NewScriptChoice choice;
    choice.name = nameDialog.textValue().trimmed();
    // "prova.txt" names the file prova.txt, as "prova" does.
    if (choice.name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) choice.name.chop(4);
    choice.name = choice.name.trimmed();
    if (choice.name.isEmpty() || choice.name.contains(QLatin1Char('/'))) return std::nullopt;
    if (nameTaken(choice.name)) return std::nullopt;
    choice.back =
        QColorDialog::getColor(QColor(0, 0, 64), parent, QStringLiteral("Colore dello sfondo"));
    choice.text =
        QColorDialog::getColor(QColor(255, 255, 255), parent, QStringLiteral("Colore del testo"));
    choice.picture = QFileDialog::getOpenFileName(
        parent, QStringLiteral("Immagine di sfondo (facoltativa)"), folder,
        QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp *.gif *.webp)"));
    choice.utf8 = ask(parent,
                      QStringLiteral("In quale codifica scriverlo? Windows-1252 è quella del "
                                     "Blocco note di Windows."),
                      {QStringLiteral("Windows-1252"), QStringLiteral("UTF-8")}) == 1;
    return choice;
}

}  // namespace quilo
