// Transfer records written into a description as rows, the same way for
// every track format that is read.
#pragma once

#include "description/TrkDsc.h"
#include "mapping/TransferRecords.h"

namespace lapforge {

struct VARS_AIW_TRACK_INFO;

void AddTrackSummaryRow(TrkDsc& ds, const TrackSummaryRecord& s);
// A section row without a split.
TrkDsc::SectionRow AddSectionRow(TrkDsc& ds, const SectionRecord& s);
// A band or wall of the section with its texture coordinates.
void AddTractionRow(TrkDsc& ds, const TrkDsc::SectionRow& section, const TractionRecord& t);
void AddContourRow(TrkDsc& ds, const TrkDsc::SectionRow& section, const ContourRecord& c);
void AddAIInfoRow(TrkDsc& ds, const VARS_AIW_TRACK_INFO& info);

}  // namespace lapforge
