#include "chooser/Chooser.h"

#include "shared/Utf8.h"

#include <algorithm>
#include <optional>

namespace quilo {
namespace fs = std::filesystem;
namespace {

// Scripts, and show files that carry a script with its pictures and music.
bool isScript(const fs::path& p) {
    const std::string ext = utf8::asciiLower(p.extension().string());
    return ext == ".txt" || ext == ".quilo";
}

// `folder` below (or at) `root`: the part after it, else nothing.
std::optional<fs::path> below(const fs::path& folder, const fs::path& root) {
    const fs::path f = folder.lexically_normal();
    const fs::path r = root.lexically_normal();
    auto fi = f.begin();
    for (auto ri = r.begin(); ri != r.end(); ++ri, ++fi) {
        if (ri->empty()) continue;  // a trailing separator
        if (fi == f.end() || *fi != *ri) return std::nullopt;
    }
    fs::path rest;
    for (; fi != f.end(); ++fi) {
        if (!fi->empty()) rest /= *fi;
    }
    return rest;
}

}  // namespace

fs::path Chooser::driveRoot() const {
    return model_.drive == kDataDrive ? paths_.root() : fs::path(kSystemDrive);
}

void Chooser::Drive1_Change(const std::string& drive) {
    model_.drive = drive;
    Dir1_Change(driveRoot());
}

void Chooser::setDirPath(const std::string& written) {
    const fs::path folder =
        paths_.resolve(model_.drive == kDataDrive ? std::string(kDataDrive) + written : written);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        warnings_.warn("Cartella dei copioni non trovata: " + folder.string() + "; si parte da " +
                       driveRoot().string());
        Dir1_Change(driveRoot());
        return;
    }
    Dir1_Change(folder);
}

void Chooser::Dir1_Change(const fs::path& folder) {
    model_.folder = folder;
    listFiles();
}

void Chooser::refresh() {
    listFiles();
}

void Chooser::listFiles() {
    model_.files.clear();
    model_.selected = -1;
    ++model_.revision;
    std::error_code ec;
    for (fs::directory_iterator it(model_.folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc) && isScript(it->path())) {
            model_.files.push_back(it->path().filename().string());
        }
    }
    std::sort(model_.files.begin(), model_.files.end(),
              [](const std::string& a, const std::string& b) {
                  return utf8::asciiLower(a) < utf8::asciiLower(b);
              });
}

std::vector<std::string> Chooser::subfolders() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(model_.folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code dirEc;
        if (it->is_directory(dirEc)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return utf8::asciiLower(a) < utf8::asciiLower(b);
    });
    return names;
}

void Chooser::File1_Click(int index) {
    if (index < 0 || index >= static_cast<int>(model_.files.size())) return;
    model_.selected = index;
    const std::string& name = model_.files[static_cast<std::size_t>(index)];
    std::string path;
    if (const auto rest = below(model_.folder, paths_.root())) {
        // Under the data root: written as the drive C: path that scripts know.
        std::string folder = std::string(kDataDrive) + "\\" + rest->string();
        std::replace(folder.begin(), folder.end(), '/', '\\');
        path = folder + "\\" + name;
    } else {
        path = (model_.folder / name).string();
    }
    tarvo1_.Text6 = path;
    Text6_Change();
}

}  // namespace quilo
