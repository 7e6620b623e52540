#include "script/LineReader.h"

namespace quilo {

const DecodedLine& LineReader::lineAt(int index) {
    if (!decodeAfresh_) return state_.scriptLines.decoded(index);
    scratch_ = decodeLine(state_.scriptLines[index]);
    return scratch_;
}

void LineReader::takeFields(const DecodedLine& line) {
    state_.commandLetter = line.commandLetter;
    state_.lineTrack = line.track;
    state_.lineTimeText = line.timeText;
    state_.lineMinutes = line.minutes;
    state_.lineSeconds = line.seconds;
}

void LineReader::LeggiRiga() {
    testo1_.Label2[0].visible = true;
    testo1_.Label2[1].visible = true;
    state_.secondsToNext = 4;
    if (state_.resumeLine == state_.lineCount) state_.resumeLine = 0;
    state_.currentLine = state_.resumeLine;
    cd_.AggiornaPosizioneCd();

    // Track 0 means no disc or a device that is not ready: comment lines and
    // the terminator (track 0, 0:00) must not become due then.
    if (state_.cdTrack == 0) return;

    while (state_.currentLine >= 0 && state_.currentLine < state_.lineCount &&
           state_.currentLine < LineTable::kSize) {
        const DecodedLine& line = lineAt(state_.currentLine);
        takeFields(line);
        if (line.track == state_.cdTrack && state_.cdMinutes < line.minutes &&
            state_.cdSeconds < line.seconds) {
            return;  // early stop: the resume point stays where it was
        }
        const bool due = line.track == state_.cdTrack && line.minutes == state_.cdMinutes &&
                         line.seconds == state_.cdSeconds && line.packedTime != state_.lastCueTime;
        if (due) {
            state_.lastCueTime = line.packedTime;
            state_.lineLength = static_cast<std::int16_t>(line.length);
            if (commands_.run(commandFor(line.commandLetter)) == PassFlow::EndPass) break;
        }
        ++state_.currentLine;
    }
    state_.resumeLine = state_.currentLine;
}

}  // namespace quilo
