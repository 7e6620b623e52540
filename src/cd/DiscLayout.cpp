#include "cd/DiscLayout.h"

#include <algorithm>

namespace quilo {

std::vector<DiscTrack> discTable(std::vector<std::int64_t> starts, std::int64_t end,
                                 std::vector<std::string>& notes) {
    if (starts.empty() || starts.front() < 0) return {};
    if (!std::is_sorted(starts.begin(), starts.end()) || end < starts.back()) return {};
    if (starts.size() > kMaxTracks) {
        notes.push_back("il disco ha " + std::to_string(starts.size()) +
                        " brani: si usano i primi 99");
        end = starts[kMaxTracks];
        starts.resize(kMaxTracks);
    }
    if (end > kMaxDiscSectors) {
        notes.push_back("il disco dura più di 99:59:74 e viene troncato");
        end = kMaxDiscSectors;
        while (!starts.empty() && starts.back() >= end) starts.pop_back();
    }
    std::vector<DiscTrack> table;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::int64_t next = i + 1 < starts.size() ? starts[i + 1] : end;
        table.push_back(
            {static_cast<std::int32_t>(starts[i]), static_cast<std::int32_t>(next - starts[i])});
    }
    if (table.empty() || table.back().start + table.back().length <= 0) return {};
    return table;
}

}  // namespace quilo
