#pragma once
// "Esporta spettacolo…": the saved script, every file it names and, on the
// author's word, the disc's music, packed into one show file while a bar
// shows how far it has got; missing files are listed, and left out only
// when the author says so.

#include <string>

class QWidget;

namespace quilo {

struct ShowExport {
    std::string script;
    std::string root;
    std::string disc;        // the studio's disc; empty: the default drive
    bool discKnown = false;  // a real disc is there to take the music from
    std::string suggested;   // where the dialog starts; empty: beside the script
};

void exportShowFile(QWidget* parent, const ShowExport& request);

}  // namespace quilo
