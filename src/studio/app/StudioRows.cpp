#include "studio/app/StudioRows.h"

#include <algorithm>

#include "display/Colours.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// No row shows more of a long caption than fits on a screen.
QString shown(const std::string& body) {
    constexpr std::size_t kShownCharacters = 300;
    return body.size() <= kShownCharacters ? q(body) : q(utf8::left(body, kShownCharacters));
}

// Lines a lone LF ran together: the file mixes line ends there.
constexpr const char* kMixedEnds =
    "errore: qui una riga finisce con il solo LF, le altre con CR LF: il lettore rifiuta il "
    "copione (qui le righe appaiono unite)";

}  // namespace

std::vector<LineRow> listRows(const ScriptDocument& document, const LineIndex& index,
                              const CheckReport& findings) {
    std::vector<LineRow> rows;
    rows.reserve(std::size_t(document.lineCount()));
    for (int i = 0; i < document.lineCount(); ++i) {
        const std::string& text = document.text(i);
        const LineParts parts = index.parts(i, text);
        LineRow row;
        const bool cue = parts.kind == LineParts::Kind::Cue;
        row.time = cue ? q(parts.time) : QString();
        row.letter = cue && parts.letter.empty()             ? QStringLiteral("testo")
                     : parts.kind == LineParts::Kind::Header ? QStringLiteral("99")
                                                             : q(parts.letter);
        row.body = shown(parts.body);
        if (parts.colour && numberKind(parts.letter) == NumberKind::Colour) {
            row.colourName = q(colourLabel(*parts.colour));
            if (const auto rgb = colourNumber(*parts.colour))
                row.colour = QColor(rgb->r, rgb->g, rgb->b);
        } else if (parts.colour) {
            row.colourName = QStringLiteral("%1 s").arg(*parts.colour);
        }
        row.dim = parts.kind != LineParts::Kind::Cue && parts.kind != LineParts::Kind::BlockLine;
        if (text.find('\n') != std::string::npos) {
            row.findings = QString::fromUtf8(kMixedEnds);
            row.error = true;
        }
        for (const Diagnostic& d : findings.diagnostics) {
            if (d.line != i + 1) continue;
            row.findings += (row.findings.isEmpty() ? QString() : QStringLiteral("\n")) +
                            (d.error ? QStringLiteral("errore: ") : QStringLiteral("avviso: ")) +
                            q(d.text);
            row.error = row.error || d.error;
        }
        rows.push_back(row);
    }
    for (const std::string& note : document.noteLines()) {
        LineRow row;
        row.body = q(note);
        row.dim = true;
        rows.push_back(row);
    }
    return rows;
}

std::vector<TimelineMarker> cueMarkers(const LineIndex& index, const std::vector<int>& selected,
                                       const std::function<std::int32_t(CdPosition)>& sectorOf) {
    std::vector<TimelineMarker> markers;
    markers.reserve(index.cues().size());
    for (int i : index.cues()) {
        const DecodedLine& d = index.at(i).decoded;
        const LineParts& parts = index.at(i).parts;
        const QString body = q(utf8::left(parts.body, 40));
        const QString label =
            parts.letter.empty() ? body : q(parts.letter) + QStringLiteral(" ") + body;
        markers.push_back({sectorOf({d.track, d.minutes, d.seconds, 0}), label, i,
                           std::binary_search(selected.begin(), selected.end(), i)});
    }
    return markers;
}

FormLine formFor(const ScriptDocument& document, const LineIndex& index, int row) {
    FormLine form;
    form.row = row;
    if (row >= 0 && row < document.lineCount() && row < index.size()) {
        const LineParts parts = index.parts(row, document.text(row));
        form.whole = q(document.text(row));
        form.cue = parts.kind == LineParts::Kind::Cue;
        form.time = q(parts.time);
        form.letter = q(parts.letter);
        form.body = q(parts.body);
        form.numberKind = form.cue ? numberKind(parts.letter) : NumberKind::None;
        form.number = parts.colour;
    }
    return form;
}

}  // namespace quilo
