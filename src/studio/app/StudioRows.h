#pragma once
// What the studio's window shows of the document: a row a line for the list
// (with the checker's findings), a marker a cue for the timeline, the form's
// fields for the chosen line. Built from the document and its index alone.

#include <functional>
#include <vector>

#include "script/ScriptChecker.h"
#include "studio/LineIndex.h"
#include "studio/ScriptDocument.h"
#include "studio/view/LineListModel.h"
#include "studio/view/StudioWindow.h"
#include "studio/view/TimelineView.h"

namespace quilo {

std::vector<LineRow> listRows(const ScriptDocument& document, const LineIndex& index,
                              const CheckReport& findings);

// `selected`: sorted; `sectorOf`: a cue's second on the disc.
std::vector<TimelineMarker> cueMarkers(const LineIndex& index, const std::vector<int>& selected,
                                       const std::function<std::int32_t(CdPosition)>& sectorOf);

FormLine formFor(const ScriptDocument& document, const LineIndex& index, int row);

}  // namespace quilo
