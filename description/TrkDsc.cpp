#include "description/TrkDsc.h"

#include "support/Errors.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

#define TABLE_BEGIN(T) const ColumnSchema k##T##Columns[] = {
#define COL(T, I, N, Ty, F, D) {N, ColType::Ty, F, D},
#define TABLE_END(T) \
  }                  \
  ;
#include "description/TrkDscSchema.def"

const TableSchema kTables[] = {
#define TABLE_BEGIN(T) {#T, k##T##Columns, static_cast<int>(std::size(k##T##Columns))},
#include "description/TrkDscSchema.def"
};

const RelationSchema kRelations[] = {
#define RELATION(R, P, PI, C, CI) \
  {#R, TrkDsc::kTable_##P, TrkDsc::k##P##_##PI, TrkDsc::kTable_##C, TrkDsc::k##C##_##CI},
#include "description/TrkDscSchema.def"
};

const DataSetSchema kSchema = {"TrkDsc",   "http://tempuri.org/TrkDsc.xsd",
                               kTables,    static_cast<int>(std::size(kTables)),
                               kRelations, static_cast<int>(std::size(kRelations))};

static_assert(std::size(kTables) == TrkDsc::kTableCount);
static_assert(std::size(kRelations) == TrkDsc::kRelationCount);

}  // namespace

const DataSetSchema& TrkDscSchema() { return kSchema; }

void CTypedRow::ThrowNoRow() { ThrowInvalidArgument("The row handle refers to no row."); }

CDataRow* AddRowFromValues(CDataTable& t, const std::vector<CDataValue>& values, int parentRelation,
                           const CDataRow* parent) {
  CDataRow* row = t.NewRow();
  try {
    size_t next = 0;
    for (int c = 0; c < t.ColumnCount(); ++c) {
      if (t.Column(c).flags & kColHidden) continue;
      if (next == values.size()) break;
      row->SetValue(c, values[next++]);
    }
    if (next != values.size())
      throw CDataException(StrFormat("Input array is longer than the number of columns in table %s.", t.Name()));
    if (parentRelation >= 0 && parent) row->SetParentRow(parentRelation, parent);
    t.AddRow(row);
  } catch (...) {
    t.DiscardRow(row);
    throw;
  }
  return row;
}

int TrkDsc::ParentRelation(int table) {
  switch (table) {
#define PARENT(T, P, Rel) \
  case kTable_##T:        \
    return kRel_##Rel;
#include "description/TrkDscSchema.def"
    default:
      return -1;
  }
}

TrkDsc::TrkDsc()
    : CDataSet(kSchema)
#define TABLE_BEGIN(T) , T(Table(kTable_##T))
#include "description/TrkDscSchema.def"
{
}

std::unique_ptr<TrkDsc> TrkDsc::Clone() const { return std::make_unique<TrkDsc>(); }

}  // namespace lapforge
