#pragma once
// The real disc sources: a drive or a TOC/NRG image through libcdio, a CUE
// sheet (every FILE line honoured), and a folder of audio
// files laid back to back like a disc.

#include <memory>
#include <string>

#include "cd/DiscSource.h"

namespace quilo {

// `named` is a device path, a .cue/.toc/.nrg image or a folder; empty means the
// system's default drive. Nothing when it cannot be opened, and `error` then
// holds one line for the user.
std::unique_ptr<DiscSource> openDiscSource(const std::string& named, std::string& error);

// Whether the system has a CD drive at all (with a disc in it or not).
bool hasCdDrive();

std::unique_ptr<DiscSource> openCueSheet(const std::string& path, std::string& error);
std::unique_ptr<DiscSource> openTrackFolder(const std::string& path, std::string& error);
// A drive is always read through cdparanoia's verification; an image may be
// read that way too, to run a drive's own path where there is no drive.
enum class CdioReading { AsTheSourceNeeds, ThroughParanoia };
std::unique_ptr<DiscSource> openCdio(const std::string& named, std::string& error,
                                     CdioReading reading = CdioReading::AsTheSourceNeeds);

// Whether the file name ends in `ext` (".cue"), in any letter case.
bool hasExtension(const std::string& path, const char* ext);

}  // namespace quilo
