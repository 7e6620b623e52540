#include "tools/export/Storyboard.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

namespace quilo {

std::string escapeHtml(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool Storyboard::add(const CueReport& cue) {
    char name[32];
    std::snprintf(name, sizeof name, "cue-%04d.png", static_cast<int>(cues_.size()) + 1);
    QImage picture(size_, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        painter_.paint(painter, size_, cue.display);
    }
    if (!picture.save(QDir(folder_).filePath(QString::fromLatin1(name)), "PNG")) return false;
    cues_.push_back({name, cue.position, cue.line, cue.letter, cue.text});
    return true;
}

bool Storyboard::finish(const std::string& title) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        escapeHtml(title) +
        "</title>\n<style>\n"
        "body{font-family:sans-serif;background:#222;color:#eee;margin:1em}\n"
        "figure{display:inline-block;width:330px;margin:8px;vertical-align:top}\n"
        "img{width:320px;border:1px solid #555}\n"
        "figcaption{font-size:13px;word-wrap:break-word}\n"
        "code{color:#fc6}\n"
        "</style>\n</head>\n<body>\n<h1>" +
        escapeHtml(title) + "</h1>\n";
    for (const Cue& c : cues_) {
        html += "<figure><a href=\"" + c.picture + "\"><img src=\"" + c.picture +
                "\" alt=\"\"></a><figcaption><b>" + escapeHtml(c.position.substr(0, 8)) +
                "</b> riga " + std::to_string(c.line) + " <code>" + escapeHtml(c.letter) +
                "</code><br>" + escapeHtml(c.text) + "</figcaption></figure>\n";
    }
    html += "</body>\n</html>\n";
    QFile file(QDir(folder_).filePath(QStringLiteral("index.html")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(html.data(), static_cast<qint64>(html.size())) ==
           static_cast<qint64>(html.size());
}

}  // namespace quilo
