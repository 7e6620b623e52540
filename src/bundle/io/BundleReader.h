#pragma once
// Reads a show file, which comes from someone else and is treated as hostile:
// only a zip of regular files with safe UTF-8 names is read; every member is
// checked against the list while it streams (its size never past the list's,
// its hash equal at its end), members the list does not name, or names
// twice, letter case aside, are refused, and so is a member the list names
// and the file lacks. Nothing is believed before the last byte is checked,
// so callers unpack into a folder of their own and use it only when this
// says yes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "bundle/ShowManifest.h"

namespace quilo {

// Bytes read so far of the members' total.
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The list a show file carries, without unpacking it; `listBytes` receives
// the list as stored (its hash names the show's cache folder).
std::optional<ShowManifest> readShowManifest(const std::string& path, std::string& error,
                                             std::string* listBytes = nullptr);

// Reads every member and checks it against `manifest`; each is written under
// `folder` (which must exist and be empty) unless `folder` is empty, when
// they are only checked. False, with `error` in Italian, at the first fault.
bool readShowMembers(const std::string& path, const ShowManifest& manifest,
                     const std::string& folder, std::string& error,
                     const ReadProgress& progress = {});

}  // namespace quilo
