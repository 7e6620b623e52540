#include "bundle/PackPlan.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "bundle/MemberName.h"
#include "display/Colours.h"
#include "script/ScriptCommand.h"
#include "shared/LineFormat.h"
#include "shared/RegularFile.h"

namespace quilo {
namespace fs = std::filesystem;
namespace {

constexpr int kHeaderLines = 7;  // the seventh header line names the background

// The script's path under the root, or its bare name at the top when it lies
// elsewhere.
std::string scriptMemberFor(const fs::path& script, const fs::path& root) {
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(script, ec);
    const fs::path top = fs::weakly_canonical(root, ec);
    const fs::path relative = file.lexically_relative(top);
    if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
    return script.filename().string();
}

class Planner {
  public:
    Planner(const Modulo1& state, const PathResolver& paths)
        : state_(state), paths_(paths), script_(paths.resolve(state.scriptPath)) {}

    PackPlan run() {
        plan_.scriptMember = scriptMemberFor(script_, paths_.root());
        const std::string folder = fs::path(plan_.scriptMember).parent_path().generic_string();
        folder_ = folder;
        add(plan_.scriptMember, script_);
        const fs::path colours = paths_.resolve(kColourFile);
        if (isRegularFile(colours.string())) add(memberForName(kColourFile, ""), colours);
        int headers = 0;
        for (int i = 0; i < state_.lineCount; ++i) {
            const DecodedLine& d = state_.scriptLines.decoded(i);
            if (d.track == 99 && ++headers == kHeaderLines) name(i, "immagine di sfondo", true);
            if (d.track < 1 || d.track > 98) continue;
            const CommandTraits& traits = traitsFor(d.commandLetter);
            if (d.length >= traits.shortest && namesFile(traits.command))
                name(i, what(traits.command), true);
            if (!traits.closedBy.empty()) i = blockEnd(i, traits.closedBy);
        }
        return std::move(plan_);
    }

  private:
    static const char* what(ScriptCommand command) {
        return command == ScriptCommand::Sound        ? "suono"
               : command == ScriptCommand::Background ? "immagine di sfondo"
                                                      : "immagine";
    }

    // A block's own lines are text; one that names a file is taken along when
    // the file is there, as its second may still run it.
    int blockEnd(int i, std::string_view closing) {
        for (int k = i + 1; k < state_.lineCount; ++k) {
            const DecodedLine& line = state_.scriptLines.decoded(k);
            if (line.commandLetter == closing) return k;
            const CommandTraits& traits = traitsFor(line.commandLetter);
            if (line.track >= 1 && line.track <= 98 && namesFile(traits.command))
                name(k, what(traits.command), false);
        }
        return state_.lineCount;
    }

    void name(int i, const char* what, bool required) {
        const std::string written = nameBody(state_.scriptLines[i]);
        if (written.empty() || written == kBlank) return;
        const std::string where =
            "riga " + std::to_string(i + 1) + ": " + what + " «" + written + "»";
        const std::string member = memberForName(written, folder_);
        if (member.empty()) {  // even in a block: its second may still run it
            plan_.refused.push_back(where + " è fuori dalla cartella dello spettacolo");
            return;
        }
        const fs::path source = paths_.resolve(written, script_.parent_path());
        if (!isRegularFile(source.string())) {
            if (required) plan_.missing.push_back(where + " non trovato (" + source.string() + ")");
            return;
        }
        add(member, source);
    }

    void add(const std::string& member, const fs::path& source) {
        const std::string folded = foldedName(member);
        if (!taken_.insert(folded).second) return;  // the same file spelt again
        plan_.entries.push_back({member, source});
    }

    const Modulo1& state_;
    const PathResolver& paths_;
    const fs::path script_;
    std::string folder_;
    PackPlan plan_;
    std::set<std::string> taken_;
};

}  // namespace

std::string memberForName(std::string_view written, const std::string& scriptFolder) {
    std::string text(written);
    std::replace(text.begin(), text.end(), '\\', '/');
    fs::path relative;
    if (text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]))) {
        relative = fs::path(text.substr(2)).relative_path();
    } else if (!text.empty() && text[0] == '/') {
        // The player takes a rooted name for the root's unless its first
        // folder exists on this computer: then it names a file of this
        // computer only, which the hall's will not have.
        relative = fs::path(text).relative_path();
        std::error_code ec;
        if (!relative.empty() && fs::exists(fs::path("/") / *relative.begin(), ec)) return {};
    } else {
        relative = fs::path(scriptFolder) / text;
    }
    const std::string member = relative.lexically_normal().generic_string();
    if (!memberNameProblem(member).empty()) return {};
    return member;
}

PackPlan planPack(const Modulo1& state, const PathResolver& paths) {
    return Planner(state, paths).run();
}

}  // namespace quilo
