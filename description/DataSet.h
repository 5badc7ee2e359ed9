// A generic relational dataset driven by a static schema: typed columns with
// defaults and null rules, hidden auto-increment keys, unique and not-null
// constraints, nested parent/child relations with cascade delete and update,
// change notifications, and its XML document. The typed track description
// (TrkDsc.h) is a thin layer over it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "description/DataValue.h"
#include "description/KeyIndex.h"
#include "support/Result.h"

namespace lapforge {

// Column flags.
enum : uint8_t {
  kColHidden = 1,   // exists only in memory, never written to XML
  kColNotNull = 2,  // storing null is refused
  kColAutoInc = 4,  // filled from a per-table counter when a row is made
  kColUnique = 8,   // no two rows hold the same value
  kColNeutral = 16  // the typed getter yields 0/false/empty instead of failing on null
};

struct ColumnSchema {
  const char* name;  // column (and XML element) name
  ColType type;
  uint8_t flags;
  const char* defaultValue;  // lexical form of the default, or nullptr for none
};

struct TableSchema {
  const char* name;
  const ColumnSchema* columns;
  int columnCount;
};

struct RelationSchema {
  const char* name;
  int parentTable, parentColumn;
  int childTable, childColumn;
};

struct DataSetSchema {
  const char* name;       // root element
  const char* nameSpace;  // XML namespace of every element
  const TableSchema* tables;
  int tableCount;
  const RelationSchema* relations;
  int relationCount;
};

// Every failure of the dataset: a broken constraint, a null read, a value
// of the wrong type.
class CDataException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// A typed read of a null column.
class CStrongTypingException : public CDataException {
 public:
  CStrongTypingException() : CDataException("Cannot get value because it is DBNull.") {}
};
// A value that does not convert to its column's type.
class CDataFormatException : public CDataException {
 public:
  using CDataException::CDataException;
};

class CDataTable;
class CDataSet;

enum class RowAction { Add, Change, Delete };

// Listeners called before and after a row changes or is deleted.
class CRowEvent {
 public:
  using Handler = std::function<void(RowAction, const class CDataRow&)>;
  void Connect(Handler h) { handlers_.push_back(std::move(h)); }
  void Clear() { handlers_.clear(); }
  void Fire(RowAction a, const CDataRow& r) const {
    for (const auto& h : handlers_) h(a, r);
  }
  bool Empty() const { return handlers_.empty(); }

 private:
  std::vector<Handler> handlers_;
};

class CDataRow {
 public:
  CDataTable& Table() const { return *table_; }
  bool IsAttached() const { return state_ == State::Attached; }
  const CDataValue& Value(int column) const { return values_[column]; }
  bool IsNull(int column) const { return values_[column].null; }
  // Stores a value (checked against the column's type and constraints);
  // carries key changes to child rows.
  void SetValue(int column, CDataValue v);
  void SetNull(int column) { SetValue(column, CDataValue::Null()); }

  // Child rows through the dataset's relation number rel, in table order.
  const std::vector<CDataRow*>& ChildRows(int rel) const;
  // The parent row through relation rel, or nullptr.
  CDataRow* ParentRow(int rel) const;
  // Re-parents (parent may be nullptr: the reference becomes null).
  void SetParentRow(int rel, const CDataRow* parent);

 private:
  friend class CDataTable;
  friend class CDataSet;
  // New: made by NewRow, not yet added; Attached: in the table; Gone:
  // removed or discarded (its storage lives on until the table is cleared,
  // so stale handles never point at freed memory).
  enum class State : uint8_t { New, Attached, Gone };
  CDataRow() = default;
  CDataTable* table_ = nullptr;
  CDataValue* values_ = nullptr;  // one per column, in the table's value storage
  uint64_t seq_ = 0;              // insertion order, for keeping child lists in table order
  State state_ = State::New;
};

class CDataTable {
 public:
  const TableSchema& Schema() const { return *schema_; }
  const char* Name() const { return schema_->name; }
  int Index() const { return index_; }
  CDataSet& DataSet() const { return *dataset_; }
  int ColumnCount() const { return schema_->columnCount; }
  const ColumnSchema& Column(int c) const { return schema_->columns[c]; }
  int FindColumn(std::string_view name) const;

  int Count() const { return static_cast<int>(rows_.size()); }
  // The n-th row; raises the program's invalid-argument error when outside.
  CDataRow& Row(int n) const;

  // A detached row with the defaults (and auto-increment keys) filled in.
  CDataRow* NewRow();
  // Appends a detached row made by NewRow; enforces the constraints. On a
  // broken constraint raises CDataException and the row stays detached.
  void AddRow(CDataRow* row);
  // Removes an attached row and, by cascade, its child rows.
  void RemoveRow(CDataRow* row);
  // Drops a detached row that was never added.
  void DiscardRow(CDataRow* row);
  void Clear();

  CRowEvent RowChanging, RowChanged, RowDeleting, RowDeleted;

 private:
  friend class CDataSet;
  friend class CDataRow;
  CDataTable(CDataSet* ds, const TableSchema* s, int index);
  void CheckValue(int column, const CDataValue& v) const;
  void IndexInsert(CDataRow* row);
  void IndexErase(CDataRow* row);

  CDataSet* dataset_;
  const TableSchema* schema_;
  int index_;
  std::vector<CDataValue> defaults_;
  // Rows and their values are allocated in chunks owned by the table and
  // freed together, which keeps building and dropping big tables cheap.
  CDataRow* AllocateRow();
  std::vector<std::unique_ptr<CDataRow[]>> rowChunks_;
  std::vector<std::unique_ptr<CDataValue[]>> valueChunks_;
  size_t rowsInChunk_ = 0, chunkRows_ = 0;  // rows used in, and size of, the last chunk

  std::vector<CDataRow*> rows_;               // attached rows, in table order
  std::vector<int> constrained_;              // columns with not-null or unique rules
  std::vector<int64_t> nextAuto_;             // per column
  std::vector<CKeyIndex<CDataRow*>> unique_;  // per column (unique integer columns)
  uint64_t nextSeq_ = 0;
};

class CDataSet {
 public:
  explicit CDataSet(const DataSetSchema& schema);
  virtual ~CDataSet();
  CDataSet(const CDataSet&) = delete;
  CDataSet& operator=(const CDataSet&) = delete;

  const DataSetSchema& Schema() const { return schema_; }
  int TableCount() const { return static_cast<int>(tables_.size()); }
  CDataTable& Table(int i) const { return *tables_[static_cast<size_t>(i)]; }
  CDataTable* FindTable(std::string_view name) const;
  int RelationCount() const { return schema_.relationCount; }
  const RelationSchema& Relation(int r) const { return schema_.relations[r]; }
  // Removes every row of every table; the auto-increment counters go on.
  void Clear();
  // Whether no table holds a row or has a row listener.
  bool IsBlank() const;
  // The auto-increment counters of every table, and putting them back: a
  // load that gives up part way leaves the counters as they were.
  std::vector<int64_t> Counters() const;
  void RestoreCounters(const std::vector<int64_t>& counters);

  // XML document. ReadXml replaces nothing: it adds the file's rows to this
  // dataset. It fails Invalid for a mistyped value, CannotRead for a file
  // that cannot be read, Damaged for anything else (malformed XML, with the
  // parser's offset, or a broken constraint); on failure the dataset is left
  // empty. ReadXmlText throws CDataFormatException or CDataException for
  // the same faults.
  Result ReadXml(const std::string& file);
  void ReadXmlText(std::string text);
  // Writes the document; fails when the file could not be written or a text
  // holds a character XML cannot hold (an existing file is then left as it
  // was).
  Result WriteXml(const std::string& file) const;
  // The document; a text holding a control character other than tab, line
  // feed and carriage return raises CDataFormatException naming its column.
  std::string GetXml() const;

 private:
  friend class CDataTable;
  friend class CDataRow;
  struct RelationIndex {
    CKeyIndex<std::vector<CDataRow*>> children;  // parent key -> child rows in table order
  };
  void LinkChild(int rel, CDataRow* child);
  void UnlinkChild(int rel, CDataRow* child);
  void CascadeKeyChange(CDataRow* parent, int column, const CDataValue& oldKey, const CDataValue& newKey);

  const DataSetSchema& schema_;
  std::vector<std::unique_ptr<CDataTable>> tables_;
  std::vector<RelationIndex> relIndex_;
  std::vector<std::vector<int>> childRels_;   // per table: relations where it is the parent
  std::vector<std::vector<int>> parentRels_;  // per table: relations where it is the child
};

}  // namespace lapforge
