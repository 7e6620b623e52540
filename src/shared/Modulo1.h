#pragma once
// The module-wide state of the player: every variable the procedures share,
// declared once. Procedures take no arguments; callers set these fields before
// a call and read them after it. One object per program run (or per test):
// the composition root creates it and hands it by reference to each subsystem.

#include <array>
#include <cstdint>
#include <string>

#include "shared/DisplayArea.h"
#include "shared/LineTable.h"

namespace quilo {

inline constexpr int kHeaderEntries = 8;    // entries 1 to 7 used
inline constexpr const char* kBlank = " ";  // "nothing remembered" / empty table entry

struct Modulo1 {
    // --- presentation script and line table ---
    LineTable scriptLines;  // entries past the last loaded line hold " "
    std::int32_t lineCount = 0;
    std::array<std::string, kHeaderEntries> headerLines{kBlank, kBlank, kBlank, kBlank,
                                                        kBlank, kBlank, kBlank, kBlank};
    std::string scriptPath;

    // --- line reader ---
    std::int32_t currentLine = 0;
    std::int32_t resumeLine = 0;
    std::string commandLetter;
    std::int16_t lineTrack = 0;
    std::int16_t lineMinutes = 0;
    std::int16_t lineSeconds = 0;
    std::string lineTimeText;
    std::int16_t lineLength = 0;
    std::int32_t lastCueTime = 99;

    // --- decoded CD position (each 0 to 255) ---
    std::int32_t cdTrack = 0;
    std::int32_t cdMinutes = 0;
    std::int32_t cdSeconds = 0;
    std::int32_t cdFrames = 0;

    // --- playback clock and presentation ---
    float clockStart = 0.0f;  // seconds since midnight, single precision
    std::int32_t elapsedSeconds = 0;
    std::int16_t pauseSeconds = 0;
    std::int16_t pauseActive = 0;
    std::int16_t presentationActive = 0;

    // --- colours (components 0 to 255 held as 16-bit signed) ---
    std::array<std::int16_t, 7> colourTable{};  // index 0 unused
    std::int16_t backRed = 0;
    std::int16_t backGreen = 0;
    std::int16_t backBlue = 0;
    std::int16_t textRed = 0;
    std::int16_t textGreen = 0;
    std::int16_t textBlue = 0;

    // --- display defaults and background ---
    std::string backgroundImage;
    std::string previousBackground = "n";
    std::int16_t backgroundPane = 0;
    std::int16_t captionWidth = kDisplayWidth;
    std::int16_t captionHeight = kDisplayHeight;
    std::int16_t fitBoxWidth = 0;
    std::int16_t fitBoxHeight = 0;
    std::int32_t fittedWidth = 0;
    std::int32_t fittedHeight = 0;
    std::int16_t firstFitWidth = 0;
    std::int16_t firstFitHeight = 0;

    // --- picture pair ---
    std::string pictureFile;
    std::string lastPictureFile = "n";
    std::int16_t picturePane = 0;
    double zoomFactor = 0.0;
    // 32-bit rather than 16-bit so that a pane wider than 32767 twips still wipes.
    std::int32_t revealWidth = 0;
    std::int32_t secondsToNext = 0;

    // --- sound ---
    std::string soundFile;
    std::string lastSoundFile;
};

}  // namespace quilo
