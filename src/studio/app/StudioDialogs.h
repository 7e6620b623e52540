#pragma once
// The studio's questions to the author, with their answers written out in
// Italian whatever translations Qt has.

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace quilo {

class StudioEditor;

// The index of the answer chosen, or the last one when the box is closed.
int ask(QWidget* parent, const QString& text, const QStringList& answers);

// Whether the document may be written: a Windows-1252 one holding characters
// the code page lacks becomes UTF-8 on the author's word.
bool convertibleForSaving(QWidget* parent, StudioEditor& editor);

// A line of text asked for; none when cancelled.
std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                               const QString& value);
// Whole seconds asked for, from -600 to 600; none when cancelled.
std::optional<int> askSeconds(QWidget* parent, const QString& title, const QString& label);
// What to find and what to put instead; none when cancelled.
std::optional<std::pair<QString, QString>> askReplace(QWidget* parent, const QString& find);

// What a new script starts from.
struct NewScriptChoice {
    QString name;  // without ".txt"
    QColor back, text;
    QString picture;  // empty for none
    bool utf8 = false;
};
// `nameTaken`: whether a name may not be used (asked at once, before the rest).
std::optional<NewScriptChoice> askNewScript(QWidget* parent, const QString& folder,
                                            const std::function<bool(const QString&)>& nameTaken);

}  // namespace quilo
