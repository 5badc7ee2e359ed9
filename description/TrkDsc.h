// The track description: the typed layer over the generic dataset engine.
// Every table, column and relation comes from TrkDscSchema.def; this file
// only gives them typed names:
//
//   TrkDsc ds;
//   TrkDsc::SectionRow s = ds.Section.AddSectionRow(0, 1, 0.0, 100.0, ...);
//   TrkDsc::TractionRow t = ds.Traction.NewTractionRow();
//   t.SetGrip(2); t.SetSectionRow(s); ds.Traction.AddTractionRow(t);
//   for (auto tr : s.GetTractionRows()) ... tr.IsGripNull() ... tr.Grip() ...
//   double h = tr.HeightOr(0.0);   // the value, or the default when null
//   tr.CopyWidth(e.width);         // e.width = tr.Width() unless null
//
// A row object is a handle (a reference into its table); copying it copies
// the handle, not the row.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "description/DataSet.h"

namespace lapforge {

// The C++ type of each column type.
template <ColType T>
struct ColCpp;
#define LF_COL_CPP(T, Cpp)    \
  template <>                 \
  struct ColCpp<ColType::T> { \
    using type = Cpp;         \
  };
LF_COL_CPP(Text, std::string)
LF_COL_CPP(F64, double)
LF_COL_CPP(F32, float)
LF_COL_CPP(Bool, bool)
LF_COL_CPP(U16, uint16_t)
LF_COL_CPP(I8, int8_t)
LF_COL_CPP(I32, int32_t)
LF_COL_CPP(I64, int64_t)
#undef LF_COL_CPP

// The common part of every typed row handle.
class CTypedRow {
 public:
  CTypedRow() = default;
  explicit CTypedRow(CDataRow* r) : row_(r) {}
  CDataRow* Raw() const { return row_; }
  explicit operator bool() const { return row_ != nullptr; }
  bool operator==(const CTypedRow& o) const { return row_ == o.row_; }

 protected:
  CDataRow& R() const {
    if (!row_) [[unlikely]]
      ThrowNoRow();
    return *row_;
  }
  [[noreturn]] static void ThrowNoRow();
  // Typed read; a null column fails with "Cannot get value because it is
  // DBNull." unless the column is one of the neutral ones.
  template <class V>
  V Get(int c) const {
    const CDataValue& v = R().Value(c);
    if (v.null) {
      if (R().Table().Column(c).flags & kColNeutral) return V{};
      throw CStrongTypingException();
    }
    if constexpr (std::is_same_v<V, std::string>) {
      return v.s.str();
    } else if constexpr (std::is_floating_point_v<V>) {
      return static_cast<V>(v.d);
    } else {
      return static_cast<V>(v.i);
    }
  }
  // The value, or d when the column is null; the result has the type a
  // conditional expression of the two would have.
  template <class V, class D>
  std::common_type_t<V, D> GetOr(int c, const D& d) const {
    if (R().IsNull(c)) return d;
    return Get<V>(c);
  }
  // Stores the value in d unless the column is null; whether it did.
  template <class V, class D>
  bool CopyTo(int c, D& d) const {
    if (R().IsNull(c)) return false;
    d = Get<V>(c);
    return true;
  }
  template <class V>
  void Set(int c, const V& v) const {
    R().SetValue(c, ToValue(v));
  }

 public:
  static CDataValue ToValue(const std::string& v) { return CDataValue::Text(v); }
  static CDataValue ToValue(const char* v) { return CDataValue::Text(v); }
  static CDataValue ToValue(double v) { return CDataValue::Real(v); }
  static CDataValue ToValue(float v) { return CDataValue::Real(v); }
  static CDataValue ToValue(bool v) { return CDataValue::Int(v ? 1 : 0); }
  template <class I, std::enable_if_t<std::is_integral_v<I> && !std::is_same_v<I, bool>, int> = 0>
  static CDataValue ToValue(I v) {
    return CDataValue::Int(static_cast<int64_t>(v));
  }
  static CDataValue ToValue(std::nullptr_t) { return CDataValue::Null(); }

 private:
  CDataRow* row_ = nullptr;
};

// Adds a row from values given for the visible columns in column order; a
// trailing typed row argument names the parent row of a child table.
CDataRow* AddRowFromValues(CDataTable& t, const std::vector<CDataValue>& values, int parentRelation,
                           const CDataRow* parent);

class TrkDsc : public CDataSet {
 public:
  // Table numbers, in dataset order.
  enum TableNo {
#define TABLE_BEGIN(T) kTable_##T,
#include "description/TrkDscSchema.def"
    kTableCount
  };
  // Relation numbers, in registration order.
  enum RelationNo {
#define RELATION(R, P, PI, C, CI) kRel_##R,
#include "description/TrkDscSchema.def"
    kRelationCount
  };
  // Column numbers of every table: kSection_Index, kTraction_Grip, ...
#define TABLE_BEGIN(T) enum T##Columns {
#define COL(T, I, N, Ty, F, D) k##T##_##I,
#define TABLE_END(T) \
  k##T##_ColumnCount \
  }                  \
  ;
#include "description/TrkDscSchema.def"

  // The parent relation of each table (-1 for a table that stands alone).
  static int ParentRelation(int table);

  // Row handles, one class per table.
#define TABLE_BEGIN(T) class T##Row;
#include "description/TrkDscSchema.def"

#define TABLE_BEGIN(T)              \
  class T##Row : public CTypedRow { \
   public:                          \
    T##Row() = default;             \
    explicit T##Row(CDataRow* r) : CTypedRow(r) {}
#define COL(T, I, N, Ty, F, D)                                                               \
  ColCpp<ColType::Ty>::type I() const { return Get<ColCpp<ColType::Ty>::type>(k##T##_##I); } \
  void Set##I(const ColCpp<ColType::Ty>::type& v) const { Set(k##T##_##I, v); }              \
  bool Is##I##Null() const { return R().IsNull(k##T##_##I); }                                \
  void Set##I##Null() const { R().SetNull(k##T##_##I); }                                     \
  template <class Alt>                                                                       \
  std::common_type_t<ColCpp<ColType::Ty>::type, Alt> I##Or(const Alt& d) const {             \
    return GetOr<ColCpp<ColType::Ty>::type>(k##T##_##I, d);                                  \
  }                                                                                          \
  template <class Alt>                                                                       \
  bool Copy##I(Alt& d) const {                                                               \
    return CopyTo<ColCpp<ColType::Ty>::type>(k##T##_##I, d);                                 \
  }
#define CHILDREN(T, C, Rel) std::vector<TrkDsc::C##Row> Get##C##Rows() const;
#define PARENT(T, P, Rel)        \
  TrkDsc::P##Row P##Row() const; \
  void Set##P##Row(const TrkDsc::P##Row& p) const;
#define TABLE_END(T) \
  }                  \
  ;
#include "description/TrkDscSchema.def"

  // Table handles, one class per table.
#define TABLE_BEGIN(T)                                                            \
  class T##DataTable {                                                            \
   public:                                                                        \
    explicit T##DataTable(CDataTable& t) : t_(t) {}                               \
    CDataTable& Table() const { return t_; }                                      \
    int Count() const { return t_.Count(); }                                      \
    T##Row operator[](int n) const { return T##Row(&t_.Row(n)); }                 \
    T##Row New##T##Row() const { return T##Row(t_.NewRow()); }                    \
    void Add##T##Row(const T##Row& r) const { t_.AddRow(r.Raw()); }               \
    template <class... A>                                                         \
    T##Row Add##T##Row(const A&... a) const {                                     \
      std::vector<CDataValue> v;                                                  \
      const CDataRow* parent = nullptr;                                           \
      (Collect(v, parent, a), ...);                                               \
      return T##Row(AddRowFromValues(t_, v, ParentRelation(kTable_##T), parent)); \
    }                                                                             \
    void Remove##T##Row(const T##Row& r) const { t_.RemoveRow(r.Raw()); }         \
    CRowEvent& T##RowChanging() const { return t_.RowChanging; }                  \
    CRowEvent& T##RowChanged() const { return t_.RowChanged; }                    \
    CRowEvent& T##RowDeleting() const { return t_.RowDeleting; }                  \
    CRowEvent& T##RowDeleted() const { return t_.RowDeleted; }
#define COL(T, I, N, Ty, F, D) \
  int I##Column() const { return k##T##_##I; }
#define TABLE_END(T)                                                                     \
 private:                                                                                \
  template <class X>                                                                     \
  static void Collect(std::vector<CDataValue>& v, const CDataRow*& parent, const X& x) { \
    if constexpr (std::is_base_of_v<CTypedRow, X>)                                       \
      parent = x.Raw();                                                                  \
    else                                                                                 \
      v.push_back(CTypedRow::ToValue(x));                                                \
  }                                                                                      \
  CDataTable& t_;                                                                        \
  }                                                                                      \
  ;
#include "description/TrkDscSchema.def"

  TrkDsc();
  // A new, empty description with the same schema.
  std::unique_ptr<TrkDsc> Clone() const;

  // One accessor per table, by its name.
#define TABLE_BEGIN(T) T##DataTable T;
#include "description/TrkDscSchema.def"
};

// The schema itself, for the generic machinery (table editor, XML).
const DataSetSchema& TrkDscSchema();

// Child-row and parent-row accessors.
#define CHILDREN(T, C, Rel)                                                 \
  inline std::vector<TrkDsc::C##Row> TrkDsc::T##Row::Get##C##Rows() const { \
    const auto& raw = R().ChildRows(kRel_##Rel);                            \
    return std::vector<TrkDsc::C##Row>(raw.begin(), raw.end());             \
  }
#define PARENT(T, P, Rel)                                                                                    \
  inline TrkDsc::P##Row TrkDsc::T##Row::P##Row() const { return TrkDsc::P##Row(R().ParentRow(kRel_##Rel)); } \
  inline void TrkDsc::T##Row::Set##P##Row(const TrkDsc::P##Row& p) const { R().SetParentRow(kRel_##Rel, p.Raw()); }
#include "description/TrkDscSchema.def"

}  // namespace lapforge
