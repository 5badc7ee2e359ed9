// The track model's records: the track record, the segments and details of
// the tree, and their cached counts.
#include "track/N5Ptf.h"

namespace lapforge {

CN5Ptf::CN5Ptf() { formatVersion = 5; }
CN5Ptf::~CN5Ptf() = default;

CN5ObjTk* CN5Ptf::GetTk() {
  if (foundTk) return foundTk;
  for (const auto& o : objects)
    if (auto* tk = dynamic_cast<CN5ObjTk*>(o.get())) return foundTk = tk;
  return nullptr;
}

CN5ObjTk* CN5Ptf::GetWriteTk() {
  if (writeTk) return writeTk;
  writeTk = GetTk();
  // A model built in memory starts without records: its track record
  // becomes the root of the file.
  if (!writeTk) writeTk = Create<CN5ObjTk>(nullptr);
  return writeTk;
}

bool CN5Ptf::IsRtName(int index, const std::string& name) const {
  if (index < 0 || static_cast<size_t>(index) >= objects.size() || !objects[static_cast<size_t>(index)]) return false;
  return objects[static_cast<size_t>(index)]->IsRtName(name);
}

int CN5Ptf::NoSegments(bool recount) {
  if (segmentCount != 0 && !recount) return segmentCount;
  // Records are only ever appended (a read starts the tree anew with the
  // count at 0), so a recount looks only at the records added since the
  // last count instead of at the whole tree again.
  if (segmentCount == 0 || countedRecords_ > objects.size()) {
    segmentCount = 0;
    countedRecords_ = 0;
  }
  for (; countedRecords_ < objects.size(); ++countedRecords_)
    if (dynamic_cast<const CN5ObjSg*>(objects[countedRecords_].get())) ++segmentCount;
  return segmentCount;
}

CN5ObjSg* CN5Ptf::GetSegObj(int index) {
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  if (!tk || index < 0 || static_cast<size_t>(index) >= tk->segments.size()) return nullptr;
  return dynamic_cast<CN5ObjSg*>(tk->segments[static_cast<size_t>(index)]);
}

int CN5Ptf::NoTrackDetails() {
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  return tk ? static_cast<int>(tk->details.size()) : 0;
}

CN5ObjTd* CN5Ptf::GetTrackDetailObj(int index) {
  if (index < 0 || index >= NoTrackDetails()) return nullptr;
  CN5ObjTk* tk = writeTk ? writeTk : GetTk();
  return dynamic_cast<CN5ObjTd*>(tk->details[static_cast<size_t>(index)]);
}

CN5ObjSg* CN5Ptf::CheckedSegment(int seg, const char* where) {
  CN5ObjTk* tk = GetWriteTk();
  CheckIndex(seg, tk->segments.size(), where);
  auto* s = dynamic_cast<CN5ObjSg*>(tk->segments[static_cast<size_t>(seg)]);
  if (!s) ThrowInvalidArgument(std::string(where) + ": no segment record at index " + std::to_string(seg));
  return s;
}

}  // namespace lapforge
