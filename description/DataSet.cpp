#include "description/DataSet.h"

#include <algorithm>

#include "app/support/Errors.h"
#include "app/support/TextFormat.h"

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

CDataRow* CDataTable::NewRow() {
  auto row = std::unique_ptr<CDataRow>(new CDataRow(this, defaults_.size()));
  row->values_ = defaults_;
  for (int c = 0; c < schema_->columnCount; ++c) {
    if (schema_->columns[c].flags & kColAutoInc)
      row->values_[static_cast<size_t>(c)] = CDataValue::Int(nextAuto_[static_cast<size_t>(c)]++);
  }
  CDataRow* raw = row.get();
  detached_.push_back(std::move(row));
  return raw;
}

void CDataTable::DiscardRow(CDataRow* row) {
  auto it = std::find_if(detached_.begin(), detached_.end(), [&](const auto& p) { return p.get() == row; });
  if (it != detached_.end()) detached_.erase(it);
}

void CDataTable::CheckValue(int column, const CDataValue& v) const {
  const ColumnSchema& col = schema_->columns[column];
  if (v.null) {
    if (col.flags & (kColNotNull | kColAutoInc))
      throw CDataException(StrFormat("Column '%s' does not allow nulls.", col.name));
    return;
  }
  if (IsIntegerType(col.type) && !IntegerFits(col.type, v.i))
    throw CDataFormatException(StrFormat("Value %lld does not fit column '%s' of type %s.", static_cast<long long>(v.i),
                                         col.name, ColTypeName(col.type)));
}

void CDataTable::IndexInsert(CDataRow* row) {
  for (int c = 0; c < schema_->columnCount; ++c) {
    if (!(schema_->columns[c].flags & kColUnique)) continue;
    const CDataValue& v = row->values_[static_cast<size_t>(c)];
    if (!v.null) unique_[static_cast<size_t>(c)][v.i] = row;
  }
}

void CDataTable::IndexErase(CDataRow* row) {
  for (int c = 0; c < schema_->columnCount; ++c) {
    if (!(schema_->columns[c].flags & kColUnique)) continue;
    const CDataValue& v = row->values_[static_cast<size_t>(c)];
    if (!v.null) unique_[static_cast<size_t>(c)].erase(v.i);
  }
}

void CDataTable::AddRow(CDataRow* row) {
  if (!row || row->table_ != this) throw CDataException("This row already belongs to another table.");
  if (row->attached_) throw CDataException("This row already belongs to this table.");
  auto it = std::find_if(detached_.rbegin(), detached_.rend(), [&](const auto& p) { return p.get() == row; });
  if (it == detached_.rend()) throw CDataException("The row is not a new row of this table.");

  for (int c = 0; c < schema_->columnCount; ++c) {
    const ColumnSchema& col = schema_->columns[c];
    const CDataValue& v = row->values_[static_cast<size_t>(c)];
    CheckValue(c, v);
    if ((col.flags & kColUnique) && !v.null && unique_[static_cast<size_t>(c)].count(v.i))
      throw CDataException(StrFormat("Column '%s' is constrained to be unique.  Value '%lld' is already present.",
                                     col.name, static_cast<long long>(v.i)));
  }
  for (int rel : dataset_->parentRels_[static_cast<size_t>(index_)]) {
    const RelationSchema& r = dataset_->Relation(rel);
    const CDataValue& ref = row->values_[static_cast<size_t>(r.childColumn)];
    if (ref.null) continue;
    const CDataTable& parent = dataset_->Table(r.parentTable);
    if (!parent.unique_[static_cast<size_t>(r.parentColumn)].count(ref.i))
      throw CDataException(
          StrFormat("ForeignKeyConstraint %s requires the child key values (%lld) to exist in the parent table.",
                    r.name, static_cast<long long>(ref.i)));
  }

  RowChanging.Fire(RowAction::Add, *row);
  std::unique_ptr<CDataRow> owned = std::move(*it);
  detached_.erase(std::next(it).base());
  owned->attached_ = true;
  owned->seq_ = nextSeq_++;
  rows_.push_back(std::move(owned));
  IndexInsert(row);
  for (int rel : dataset_->parentRels_[static_cast<size_t>(index_)]) dataset_->LinkChild(rel, row);
  RowChanged.Fire(RowAction::Add, *row);
}

void CDataTable::RemoveRow(CDataRow* row) {
  if (!row || row->table_ != this || !row->attached_) throw CDataException("The given row is not in this table.");
  RowDeleting.Fire(RowAction::Delete, *row);
  // Cascade: child rows go first, each with its own children.
  for (int rel : dataset_->childRels_[static_cast<size_t>(index_)]) {
    std::vector<CDataRow*> children = row->ChildRows(rel);
    CDataTable& childTable = dataset_->Table(dataset_->Relation(rel).childTable);
    for (CDataRow* child : children) childTable.RemoveRow(child);
  }
  for (int rel : dataset_->parentRels_[static_cast<size_t>(index_)]) dataset_->UnlinkChild(rel, row);
  IndexErase(row);
  auto it = std::find_if(rows_.begin(), rows_.end(), [&](const auto& p) { return p.get() == row; });
  std::unique_ptr<CDataRow> owned = std::move(*it);
  rows_.erase(it);
  owned->attached_ = false;
  RowDeleted.Fire(RowAction::Delete, *owned);
}

void CDataTable::Clear() {
  rows_.clear();
  detached_.clear();
  for (auto& u : unique_) u.clear();
}

// ---------------------------------------------------------------- row

void CDataRow::SetValue(int column, const CDataValue& value) {
  CDataTable& t = *table_;
  CheckIndex(column, values_.size(), t.Name());
  const ColumnSchema& col = t.Column(column);
  CDataValue v = value;
  if (!v.null && col.type == ColType::F32) v.d = static_cast<float>(v.d);
  t.CheckValue(column, v);
  if (!attached_) {
    values_[static_cast<size_t>(column)] = std::move(v);
    return;
  }
  CDataValue old = values_[static_cast<size_t>(column)];
  if (old == v) return;
  CDataSet& ds = t.DataSet();
  if ((col.flags & kColUnique) && !v.null) {
    auto found = t.unique_[static_cast<size_t>(column)].find(v.i);
    if (found != t.unique_[static_cast<size_t>(column)].end() && found->second != this)
      throw CDataException(StrFormat("Column '%s' is constrained to be unique.  Value '%lld' is already present.",
                                     col.name, static_cast<long long>(v.i)));
  }
  std::vector<int> refRels;
  for (int rel : ds.parentRels_[static_cast<size_t>(t.index_)]) {
    const RelationSchema& r = ds.Relation(rel);
    if (r.childColumn != column) continue;
    if (!v.null && !ds.Table(r.parentTable).unique_[static_cast<size_t>(r.parentColumn)].count(v.i))
      throw CDataException(
          StrFormat("ForeignKeyConstraint %s requires the child key values (%lld) to exist in the parent table.",
                    r.name, static_cast<long long>(v.i)));
    refRels.push_back(rel);
  }

  t.RowChanging.Fire(RowAction::Change, *this);
  for (int rel : refRels) ds.UnlinkChild(rel, this);
  if (col.flags & kColUnique) {
    if (!old.null) t.unique_[static_cast<size_t>(column)].erase(old.i);
    if (!v.null) t.unique_[static_cast<size_t>(column)][v.i] = this;
  }
  values_[static_cast<size_t>(column)] = v;
  for (int rel : refRels) ds.LinkChild(rel, this);
  ds.CascadeKeyChange(this, column, old, v);
  t.RowChanged.Fire(RowAction::Change, *this);
}

const std::vector<CDataRow*>& CDataRow::ChildRows(int rel) const {
  CDataSet& ds = table_->DataSet();
  CheckIndex(rel, static_cast<size_t>(ds.RelationCount()), "relation");
  const RelationSchema& r = ds.Relation(rel);
  if (r.parentTable != table_->Index() || !attached_) return kNoRows;
  const CDataValue& key = values_[static_cast<size_t>(r.parentColumn)];
  if (key.null) return kNoRows;
  const auto& map = ds.relIndex_[static_cast<size_t>(rel)].children;
  auto it = map.find(key.i);
  return it == map.end() ? kNoRows : it->second;
}

CDataRow* CDataRow::ParentRow(int rel) const {
  CDataSet& ds = table_->DataSet();
  CheckIndex(rel, static_cast<size_t>(ds.RelationCount()), "relation");
  const RelationSchema& r = ds.Relation(rel);
  if (r.childTable != table_->Index()) return nullptr;
  const CDataValue& ref = values_[static_cast<size_t>(r.childColumn)];
  if (ref.null) return nullptr;
  const auto& map = ds.Table(r.parentTable).unique_[static_cast<size_t>(r.parentColumn)];
  auto it = map.find(ref.i);
  return it == map.end() ? nullptr : it->second;
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
  for (auto& r : relIndex_) r.children.clear();
}

void CDataSet::LinkChild(int rel, CDataRow* child) {
  const CDataValue& ref = child->values_[static_cast<size_t>(Relation(rel).childColumn)];
  if (ref.null) return;
  auto& list = relIndex_[static_cast<size_t>(rel)].children[ref.i];
  if (list.empty() || list.back()->seq_ < child->seq_) {
    list.push_back(child);
  } else {
    auto pos = std::lower_bound(list.begin(), list.end(), child,
                                [](const CDataRow* a, const CDataRow* b) { return a->seq_ < b->seq_; });
    list.insert(pos, child);
  }
}

void CDataSet::UnlinkChild(int rel, CDataRow* child) {
  const CDataValue& ref = child->values_[static_cast<size_t>(Relation(rel).childColumn)];
  if (ref.null) return;
  auto& map = relIndex_[static_cast<size_t>(rel)].children;
  auto it = map.find(ref.i);
  if (it == map.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), child), list.end());
  if (list.empty()) map.erase(it);
}

void CDataSet::CascadeKeyChange(CDataRow* parent, int column, const CDataValue& oldKey, const CDataValue& newKey) {
  for (int rel : childRels_[static_cast<size_t>(parent->Table().Index())]) {
    const RelationSchema& r = Relation(rel);
    if (r.parentColumn != column || oldKey.null) continue;
    auto& map = relIndex_[static_cast<size_t>(rel)].children;
    auto it = map.find(oldKey.i);
    if (it == map.end()) continue;
    std::vector<CDataRow*> children = std::move(it->second);
    map.erase(it);
    for (CDataRow* child : children) {
      child->Table().RowChanging.Fire(RowAction::Change, *child);
      child->values_[static_cast<size_t>(r.childColumn)] = newKey;
      child->Table().RowChanged.Fire(RowAction::Change, *child);
    }
    if (!newKey.null) {
      auto& dest = map[newKey.i];
      dest.insert(dest.end(), children.begin(), children.end());
      std::sort(dest.begin(), dest.end(), [](const CDataRow* a, const CDataRow* b) { return a->seq_ < b->seq_; });
    }
  }
}
