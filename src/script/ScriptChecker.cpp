#include "script/ScriptChecker.h"

#include <algorithm>
#include <filesystem>

#include "display/Colours.h"
#include "script/ScriptCommand.h"
#include "script/ScriptLoader.h"
#include "script/check/CheckContext.h"
#include "script/check/DiscChecks.h"
#include "script/check/HeaderChecks.h"
#include "script/check/LineForm.h"
#include "script/check/NamedFiles.h"
#include "shared/LineFormat.h"
#include "shared/RegularFile.h"
#include "shared/ScriptFiles.h"
#include "shared/TextFile.h"

namespace quilo {
namespace {

// A script is read past its end line only to find cues left there: no
// further than the longest script the player takes.
constexpr std::size_t kReadPastEndLimit = 4u << 20;

// Runs each kind of check over a loaded script, in the file's order: the
// line ends, the first line, the header, then every cue (a block as one).
class Checker {
  public:
    explicit Checker(CheckContext& context) : c_(context) {}

    void run() {
        checkLineEnds(c_);
        checkFirstLine(c_);
        checkHeader(c_);
        for (int i = 0; i < c_.state.lineCount; ++i) {
            const DecodedLine& d = c_.decoded(i);
            if (d.track == 99) continue;
            if (d.track < 1 || d.track > kLastTrack) {
                checkUntimedLine(c_, i);
                continue;
            }
            i = checkCue(i);
        }
        if (c_.checks.disc) checkAgainstDisc(c_, *c_.checks.disc);
    }

  private:
    // Checks the cue at `i`; returns the index of its last line (a block's end).
    int checkCue(int i) {
        const DecodedLine& d = c_.decoded(i);
        order_.check(c_, i);
        const CommandTraits& traits = traitsFor(d.commandLetter);
        checkCueForm(c_, i, traits);
        if (d.length >= traits.shortest && namesFile(traits.command))
            checkNamedFile(c_, i, traits.command, d.commandLetter);
        return traits.closedBy.empty() ? i : blockEnd(i, traits.closedBy);
    }

    int blockEnd(int i, std::string_view closing) {
        for (int k = i + 1; k < c_.state.lineCount; ++k) {
            const DecodedLine& line = c_.decoded(k);
            if (line.track != 0 && line.track != 99 &&
                line.packedTime != c_.decoded(i).packedTime) {
                c_.warning(k,
                           "riga di un blocco con un proprio tempo: quando arriva il suo secondo "
                           "viene eseguita anche come comando");
            }
            if (line.commandLetter == closing) return k;
        }
        c_.error(
            i, "blocco senza la riga di chiusura che termina con " + quoted(std::string(closing)));
        return c_.state.lineCount;
    }

    CheckContext& c_;
    CueOrder order_;
};

// The lines after the script's end line, read again for the purpose.
std::vector<std::string> linesAfterEnd(const std::string& file,
                                       const std::optional<std::string>& text) {
    std::string bytes;
    if (text) {
        bytes = *text;
    } else if (readRegularFile(file, kReadPastEndLimit, bytes) != FileProblem::None) {
        return {};
    }
    return readScriptText(bytes).afterEnd;
}

}  // namespace

std::vector<Diagnostic> checkLoadedScript(const Modulo1& state, const PathResolver& paths,
                                          FileChecks checks) {
    const ScriptFiles files(state, paths);
    std::vector<Diagnostic> found;
    CheckContext context{state, files, std::move(checks), found};
    Checker(context).run();
    return found;
}

void sortByLine(CheckReport& report) {
    std::stable_sort(report.diagnostics.begin(), report.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
}

int CheckReport::errors() const {
    int n = 0;
    for (const auto& d : diagnostics) n += d.error;
    return n;
}

int CheckReport::warnings() const {
    return static_cast<int>(diagnostics.size()) - errors();
}

CheckReport checkScript(const std::string& path, const PathResolver& paths, FileChecks checks,
                        const std::optional<std::string>& text) {
    Modulo1 state;
    state.scriptPath = path;
    ScriptLoader loader(state, paths);
    loader.useText(text);
    CheckReport report;
    // "Lettore" takes only names ending in "txt" exactly, and refuses others
    // without a word, though the chooser lists them.
    if (path.size() < 3 || path.compare(path.size() - 3, 3, "txt") != 0) {
        report.diagnostics.push_back(
            {1, true,
             "il nome del copione non finisce con «txt» in minuscolo: il lettore non lo apre "
             "(\"Lettore\" non fa nulla); rinominarlo, per esempio in " +
                 quoted(std::filesystem::path(path).stem().string() + ".txt")});
    }
    if (auto refused = loader.MemorizzaLetturaRiga()) {
        if (refused->reason == ScriptError::Reason::Unreadable) report.readable = false;
        const int line = refused->line > 0 ? refused->line
                         : refused->reason == ScriptError::Reason::TooManyLines
                             ? LineTable::kSize + 1
                             : 1;
        report.diagnostics.push_back({line, true, refused->message});
        sortByLine(report);
        return report;
    }
    for (auto& found : checkLoadedScript(state, paths, checks))
        report.diagnostics.push_back(std::move(found));
    const ScriptFiles files(state, paths);
    CheckContext context{state, files, checks, report.diagnostics};
    checkAfterEnd(context, linesAfterEnd(paths.resolve(path).string(), text));
    sortByLine(report);
    return report;
}

CheckReport checkColourFile(const PathResolver& paths) {
    const std::string path = paths.resolve(kColourFile).string();
    CheckReport report;
    std::vector<std::string> lines;
    const FileProblem problem = readColourFileLines(path, lines);
    if (problem != FileProblem::None) {
        report.readable = false;
        report.diagnostics.push_back(
            {1, true, "il programma non parte: " + describeProblem(problem) + " (" + path + ")"});
        return report;
    }
    const char* names[] = {"rosso dello sfondo", "verde dello sfondo", "blu dello sfondo",
                           "rosso del testo",    "verde del testo",    "blu del testo"};
    for (std::size_t i = 0; i < 6; ++i) {
        const int line = static_cast<int>(i) + 1;
        if (i >= lines.size()) {
            report.diagnostics.push_back({line, true,
                                          "manca la riga del " + std::string(names[i]) +
                                              ": servono sei numeri, uno per riga"});
            continue;
        }
        const auto value = colourFileNumber(lines[i]);
        if (!value) {
            report.diagnostics.push_back(
                {line, true,
                 "\u00AB" + lines[i] + "\u00BB non \u00E8 un numero (" + names[i] + ")"});
        } else if (*value < 0 || *value > 255) {
            report.diagnostics.push_back({line, false,
                                          std::to_string(*value) + " vale come " +
                                              (*value < 0 ? "0" : "255") + " (" + names[i] +
                                              ", da 0 a 255)"});
        }
    }
    return report;
}

std::string formatReport(const std::string& path, const CheckReport& report) {
    std::string out;
    for (const auto& d : report.diagnostics) {
        out += path + ":" + std::to_string(d.line) + (d.error ? ": errore: " : ": avviso: ") +
               d.text + "\n";
    }
    const int e = report.errors();
    const int w = report.warnings();
    out += path + ": " + std::to_string(e) + (e == 1 ? " errore, " : " errori, ") +
           std::to_string(w) + (w == 1 ? " avviso" : " avvisi") + "\n";
    return out;
}

}  // namespace quilo

namespace quilo {

std::string uncheckedDiscNote(const std::string& path) {
    return path + ": durata dei brani non controllata (--disc o --tracks per controllarla)\n";
}

}  // namespace quilo
