#pragma once
// Writes a show file: a zip (libarchive) whose members are copied in a block
// at a time and hashed as they go, with the list (show.json) written last
// from what was actually written. Pictures, compressed sound and the disc's
// FLAC are stored as they are; text and raw sound are deflated. The file
// appears under its name only when finished (written beside it, then
// renamed), so a show file is never left half written.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bundle/ShowManifest.h"

struct archive;

namespace quilo {

// Bytes copied so far, for a progress bar.
using CopyProgress = std::function<void(std::uint64_t bytes)>;

class BundleWriter {
  public:
    BundleWriter() = default;
    ~BundleWriter();  // an unfinished file is removed
    BundleWriter(const BundleWriter&) = delete;
    BundleWriter& operator=(const BundleWriter&) = delete;

    // `keepBackup`: a file already at `path` is kept as "PATH.bak".
    bool open(const std::string& path, bool keepBackup, std::string& error);
    bool addFile(const std::string& member, const std::string& source, std::string& error,
                 const CopyProgress& progress = {});
    bool addBytes(const std::string& member, std::string_view bytes, std::string& error);
    // Writes the list (title, script and disc from `about`, the members as
    // written) and puts the file in place.
    bool finish(const ShowManifest& about, std::string& error);

    const std::vector<BundleMember>& members() const { return members_; }

  private:
    bool beginMember(const std::string& member, std::uint64_t size, std::int64_t mtime,
                     std::string& error);
    void abandon();

    archive* archive_ = nullptr;
    int fd_ = -1;
    std::string path_;
    std::string partial_;
    bool keepBackup_ = false;
    std::vector<BundleMember> members_;
};

// Whether a member of this name is already compressed and gains nothing
// from deflating (JPEG, PNG, FLAC, MP3, OGG, ...).
bool isCompressedMedia(std::string_view member);

}  // namespace quilo
