#include "description/DataSet.h"

#include <algorithm>

#include "support/Errors.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {
const std::vector<CDataRow*> kNoRows;

bool IsIntegerType(ColType t) { return t != ColType::Text && t != ColType::F64 && t != ColType::F32; }
}  // namespace

// ---------------------------------------------------------------- table

CDataTable::CDataTable(CDataSet* ds, const TableSchema* s, int index) : dataset_(ds), schema_(s), index_(index) {
  size_t n = static_cast<size_t>(s->columnCount);
  defaults_.resize(n);
  nextAuto_.assign(n, 0);
  unique_.resize(n);
  for (int c = 0; c < s->columnCount; ++c)
    if (s->columns[c].flags & (kColNotNull | kColAutoInc | kColUnique)) constrained_.push_back(c);
  for (int c = 0; c < s->columnCount; ++c) {
    const ColumnSchema& col = s->columns[c];
    if (col.defaultValue && !ParseLexical(col.type, col.defaultValue, defaults_[static_cast<size_t>(c)]))
      throw CDataException(std::string("bad default for column ") + col.name);
  }
}

int CDataTable::FindColumn(std::string_view name) const {
  for (int c = 0; c < schema_->columnCount; ++c) {
    if (name == schema_->columns[c].name) return c;
  }
  return -1;
}

CDataRow& CDataTable::Row(int n) const {
  CheckIndex(n, rows_.size(), Name());
  return *rows_[static_cast<size_t>(n)];
}

CDataRow* CDataTable::AllocateRow() {
  // Chunks grow geometrically, so a table of one row costs little and a
  // table of a million rows few allocations.
  const size_t n = static_cast<size_t>(schema_->columnCount);
  if (rowChunks_.empty() || rowsInChunk_ == chunkRows_) {
    chunkRows_ = rowChunks_.empty() ? 16 : std::min<size_t>(chunkRows_ * 2, 8192);
    rowChunks_.emplace_back(new CDataRow[chunkRows_]);
    valueChunks_.emplace_back(new CDataValue[chunkRows_ * n]);
    rowsInChunk_ = 0;
  }
  CDataRow* row = &rowChunks_.back()[rowsInChunk_];
  row->table_ = this;
  row->values_ = &valueChunks_.back()[rowsInChunk_ * n];
  ++rowsInChunk_;
  return row;
}

CDataRow* CDataTable::NewRow() {
  CDataRow* row = AllocateRow();
  for (int c = 0; c < schema_->columnCount; ++c) {
    if (schema_->columns[c].flags & kColAutoInc)
      row->values_[c] = CDataValue::Int(nextAuto_[static_cast<size_t>(c)]++);
    else if (!defaults_[static_cast<size_t>(c)].null)  // fresh values are null already
      row->values_[c] = defaults_[static_cast<size_t>(c)];
  }
  return row;
}

void CDataTable::DiscardRow(CDataRow* row) {
  if (row && row->table_ == this && row->state_ == CDataRow::State::New) row->state_ = CDataRow::State::Gone;
}

namespace {

[[noreturn]] __attribute__((noinline)) void ThrowNotNull(const ColumnSchema& col) {
  throw CDataException(StrFormat("Column '%s' does not allow nulls.", col.name));
}

[[noreturn]] __attribute__((noinline)) void ThrowDoesNotFit(const ColumnSchema& col, int64_t v) {
  throw CDataFormatException(StrFormat("Value %lld does not fit column '%s' of type %s.", static_cast<long long>(v),
                                       col.name, ColTypeName(col.type)));
}

}  // namespace

void CDataTable::CheckValue(int column, const CDataValue& v) const {
  const ColumnSchema& col = schema_->columns[column];
  if (v.null) {
    if (col.flags & (kColNotNull | kColAutoInc)) [[unlikely]]
      ThrowNotNull(col);
    return;
  }
  if (IsIntegerType(col.type) && !IntegerFits(col.type, v.i)) [[unlikely]]
    ThrowDoesNotFit(col, v.i);
}

void CDataTable::IndexInsert(CDataRow* row) {
  for (int c : constrained_) {
    if (!(schema_->columns[c].flags & kColUnique)) continue;
    const CDataValue& v = row->values_[c];
    if (!v.null) unique_[static_cast<size_t>(c)].Get(v.i) = row;
  }
}

void CDataTable::IndexErase(CDataRow* row) {
  for (int c : constrained_) {
    if (!(schema_->columns[c].flags & kColUnique)) continue;
    const CDataValue& v = row->values_[c];
    if (!v.null) unique_[static_cast<size_t>(c)].Erase(v.i);
  }
}

void CDataTable::AddRow(CDataRow* row) {
  if (!row || row->table_ != this) throw CDataException("This row already belongs to another table.");
  if (row->state_ == CDataRow::State::Attached) throw CDataException("This row already belongs to this table.");
  if (row->state_ != CDataRow::State::New) throw CDataException("The row is not a new row of this table.");

  // Values were checked against their types when stored; what is left are
  // the constraints between rows and the columns that refuse nulls.
  for (int c : constrained_) {
    const ColumnSchema& col = schema_->columns[c];
    const CDataValue& v = row->values_[c];
    CheckValue(c, v);
    if ((col.flags & kColUnique) && !v.null && unique_[static_cast<size_t>(c)].Contains(v.i))
      throw CDataException(StrFormat("Column '%s' is constrained to be unique.  Value '%lld' is already present.",
                                     col.name, static_cast<long long>(v.i)));
  }
  for (int rel : dataset_->parentRels_[static_cast<size_t>(index_)]) {
    const RelationSchema& r = dataset_->Relation(rel);
    const CDataValue& ref = row->values_[r.childColumn];
    if (ref.null) continue;
    const CDataTable& parent = dataset_->Table(r.parentTable);
    if (!parent.unique_[static_cast<size_t>(r.parentColumn)].Contains(ref.i))
      throw CDataException(
          StrFormat("ForeignKeyConstraint %s requires the child key values (%lld) to exist in the parent table.",
                    r.name, static_cast<long long>(ref.i)));
  }

  RowChanging.Fire(RowAction::Add, *row);
  row->state_ = CDataRow::State::Attached;
  row->seq_ = nextSeq_++;
  rows_.push_back(row);
  IndexInsert(row);
  for (int rel : dataset_->parentRels_[static_cast<size_t>(index_)]) dataset_->LinkChild(rel, row);
  RowChanged.Fire(RowAction::Add, *row);
}

void CDataTable::RemoveRow(CDataRow* row) {
  if (!row || row->table_ != this || row->state_ != CDataRow::State::Attached)
    throw CDataException("The given row is not in this table.");
  RowDeleting.Fire(RowAction::Delete, *row);
  // Cascade: child rows go first, each with its own children.
  for (int rel : dataset_->childRels_[static_cast<size_t>(index_)]) {
    std::vector<CDataRow*> children = row->ChildRows(rel);
    CDataTable& childTable = dataset_->Table(dataset_->Relation(rel).childTable);
    for (CDataRow* child : children) childTable.RemoveRow(child);
  }
  for (int rel : dataset_->parentRels_[static_cast<size_t>(index_)]) dataset_->UnlinkChild(rel, row);
  IndexErase(row);
  // Rows are usually removed from the end (undo of an append) or one at a
  // time by the user; search from the back.
  auto it = std::find(rows_.rbegin(), rows_.rend(), row);
  rows_.erase(std::next(it).base());
  row->state_ = CDataRow::State::Gone;
  RowDeleted.Fire(RowAction::Delete, *row);
}

void CDataTable::Clear() {
  rows_.clear();
  rowChunks_.clear();
  valueChunks_.clear();
  rowsInChunk_ = chunkRows_ = 0;
  for (auto& u : unique_) u.Clear();
}

// ---------------------------------------------------------------- row

void CDataRow::SetValue(int column, CDataValue v) {
  CDataTable& t = *table_;
  CheckIndex(column, static_cast<size_t>(t.ColumnCount()), t.Name());
  const ColumnSchema& col = t.Column(column);
  if (!v.null && col.type == ColType::F32) v.d = static_cast<float>(v.d);
  t.CheckValue(column, v);
  if (state_ != State::Attached) {
    values_[column] = std::move(v);
    return;
  }
  CDataValue old = values_[column];
  if (old == v) return;
  CDataSet& ds = t.DataSet();
  if ((col.flags & kColUnique) && !v.null) {
    CDataRow* const* found = t.unique_[static_cast<size_t>(column)].Find(v.i);
    if (found && *found != this)
      throw CDataException(StrFormat("Column '%s' is constrained to be unique.  Value '%lld' is already present.",
                                     col.name, static_cast<long long>(v.i)));
  }
  std::vector<int> refRels;
  for (int rel : ds.parentRels_[static_cast<size_t>(t.index_)]) {
    const RelationSchema& r = ds.Relation(rel);
    if (r.childColumn != column) continue;
    if (!v.null && !ds.Table(r.parentTable).unique_[static_cast<size_t>(r.parentColumn)].Contains(v.i))
      throw CDataException(
          StrFormat("ForeignKeyConstraint %s requires the child key values (%lld) to exist in the parent table.",
                    r.name, static_cast<long long>(v.i)));
    refRels.push_back(rel);
  }

  t.RowChanging.Fire(RowAction::Change, *this);
  for (int rel : refRels) ds.UnlinkChild(rel, this);
  if (col.flags & kColUnique) {
    if (!old.null) t.unique_[static_cast<size_t>(column)].Erase(old.i);
    if (!v.null) t.unique_[static_cast<size_t>(column)].Get(v.i) = this;
  }
  values_[column] = v;
  for (int rel : refRels) ds.LinkChild(rel, this);
  ds.CascadeKeyChange(this, column, old, v);
  t.RowChanged.Fire(RowAction::Change, *this);
}

const std::vector<CDataRow*>& CDataRow::ChildRows(int rel) const {
  CDataSet& ds = table_->DataSet();
  CheckIndex(rel, static_cast<size_t>(ds.RelationCount()), "relation");
  const RelationSchema& r = ds.Relation(rel);
  if (r.parentTable != table_->Index() || state_ != State::Attached) return kNoRows;
  const CDataValue& key = values_[r.parentColumn];
  if (key.null) return kNoRows;
  const std::vector<CDataRow*>* list = ds.relIndex_[static_cast<size_t>(rel)].children.Find(key.i);
  return list ? *list : kNoRows;
}

CDataRow* CDataRow::ParentRow(int rel) const {
  CDataSet& ds = table_->DataSet();
  CheckIndex(rel, static_cast<size_t>(ds.RelationCount()), "relation");
  const RelationSchema& r = ds.Relation(rel);
  if (r.childTable != table_->Index()) return nullptr;
  const CDataValue& ref = values_[r.childColumn];
  if (ref.null) return nullptr;
  CDataRow* const* parent = ds.Table(r.parentTable).unique_[static_cast<size_t>(r.parentColumn)].Find(ref.i);
  return parent ? *parent : nullptr;
}

void CDataRow::SetParentRow(int rel, const CDataRow* parent) {
  CDataSet& ds = table_->DataSet();
  CheckIndex(rel, static_cast<size_t>(ds.RelationCount()), "relation");
  const RelationSchema& r = ds.Relation(rel);
  if (!parent) {
    SetValue(r.childColumn, CDataValue::Null());
    return;
  }
  if (&parent->Table() != &ds.Table(r.parentTable))
    throw CDataException(StrFormat("The row does not belong to the parent table of relation %s.", r.name));
  SetValue(r.childColumn, parent->Value(r.parentColumn));
}

// ---------------------------------------------------------------- dataset

CDataSet::CDataSet(const DataSetSchema& schema) : schema_(schema) {
  for (int i = 0; i < schema.tableCount; ++i)
    tables_.push_back(std::unique_ptr<CDataTable>(new CDataTable(this, &schema.tables[i], i)));
  relIndex_.resize(static_cast<size_t>(schema.relationCount));
  childRels_.resize(tables_.size());
  parentRels_.resize(tables_.size());
  for (int r = 0; r < schema.relationCount; ++r) {
    childRels_[static_cast<size_t>(schema.relations[r].parentTable)].push_back(r);
    parentRels_[static_cast<size_t>(schema.relations[r].childTable)].push_back(r);
  }
}

CDataSet::~CDataSet() = default;

CDataTable* CDataSet::FindTable(std::string_view name) const {
  for (const auto& t : tables_) {
    if (name == t->Name()) return t.get();
  }
  return nullptr;
}

void CDataSet::Clear() {
  for (auto& t : tables_) t->Clear();
  for (auto& r : relIndex_) r.children.Clear();
}

bool CDataSet::IsBlank() const {
  for (const auto& t : tables_) {
    if (t->Count() != 0 || !t->RowChanging.Empty() || !t->RowChanged.Empty() || !t->RowDeleting.Empty() ||
        !t->RowDeleted.Empty())
      return false;
  }
  return true;
}

std::vector<int64_t> CDataSet::Counters() const {
  std::vector<int64_t> counters;
  for (const auto& t : tables_) {
    counters.insert(counters.end(), t->nextAuto_.begin(), t->nextAuto_.end());
    counters.push_back(static_cast<int64_t>(t->nextSeq_));
  }
  return counters;
}

void CDataSet::RestoreCounters(const std::vector<int64_t>& counters) {
  size_t at = 0;
  for (auto& t : tables_) {
    for (int64_t& n : t->nextAuto_) n = counters.at(at++);
    t->nextSeq_ = static_cast<uint64_t>(counters.at(at++));
  }
}

void CDataSet::LinkChild(int rel, CDataRow* child) {
  const CDataValue& ref = child->values_[Relation(rel).childColumn];
  if (ref.null) return;
  auto& list = relIndex_[static_cast<size_t>(rel)].children.Get(ref.i);
  // A parent mostly has several children (a section its bands): room for
  // eight from the first spares the list its first regrowths.
  if (list.empty()) list.reserve(8);
  if (list.empty() || list.back()->seq_ < child->seq_) {
    list.push_back(child);
  } else {
    auto pos = std::lower_bound(list.begin(), list.end(), child,
                                [](const CDataRow* a, const CDataRow* b) { return a->seq_ < b->seq_; });
    list.insert(pos, child);
  }
}

void CDataSet::UnlinkChild(int rel, CDataRow* child) {
  const CDataValue& ref = child->values_[Relation(rel).childColumn];
  if (ref.null) return;
  auto& index = relIndex_[static_cast<size_t>(rel)].children;
  std::vector<CDataRow*>* list = index.Find(ref.i);
  if (!list) return;
  list->erase(std::remove(list->begin(), list->end(), child), list->end());
  if (list->empty()) index.Erase(ref.i);
}

void CDataSet::CascadeKeyChange(CDataRow* parent, int column, const CDataValue& oldKey, const CDataValue& newKey) {
  for (int rel : childRels_[static_cast<size_t>(parent->Table().Index())]) {
    const RelationSchema& r = Relation(rel);
    if (r.parentColumn != column || oldKey.null) continue;
    auto& index = relIndex_[static_cast<size_t>(rel)].children;
    std::vector<CDataRow*>* found = index.Find(oldKey.i);
    if (!found) continue;
    std::vector<CDataRow*> children = std::move(*found);
    index.Erase(oldKey.i);
    for (CDataRow* child : children) {
      child->Table().RowChanging.Fire(RowAction::Change, *child);
      child->values_[r.childColumn] = newKey;
      child->Table().RowChanged.Fire(RowAction::Change, *child);
    }
    if (!newKey.null) {
      auto& dest = index.Get(newKey.i);
      dest.insert(dest.end(), children.begin(), children.end());
      std::sort(dest.begin(), dest.end(), [](const CDataRow* a, const CDataRow* b) { return a->seq_ < b->seq_; });
    }
  }
}

}  // namespace lapforge
