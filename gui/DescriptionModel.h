// A Qt item model over one table of a track description, read straight from
// the dataset (no copy). It shows either a whole table or the child rows of
// one parent row through a relation; after the visible columns come one link
// column per child relation, which the table editor follows.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "description/TrkDsc.h"

namespace lapforge {

class CDescriptionModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // The typed value of a cell, for sorting (numbers compare as numbers).
  static constexpr int kSortRole = Qt::UserRole + 1;

  // Performs a cell edit (the editor records it for undo); false refuses it.
  using EditFunction = std::function<bool(CDataRow& row, int column, const CDataValue& value)>;

  explicit CDescriptionModel(QObject* parent = nullptr);

  void SetDescription(TrkDsc* db);
  TrkDsc* Description() const { return db_; }
  void SetEditFunction(EditFunction f) { edit_ = std::move(f); }

  // What the grid shows.
  struct View {
    int table = -1;           // the table shown, -1 for none
    int relation = -1;        // child view: the relation followed, else -1
    int parentRowIndex = -1;  // child view: the parent row's position in its table
  };
  void Show(const View& view);
  void ShowTable(int table) { Show(View{table, -1, -1}); }
  const View& CurrentView() const { return view_; }
  CDataTable* Table() const;
  CDataRow* ParentRow() const;

  // Rows and columns of the view.
  CDataRow* RowAt(int viewRow) const;
  int ViewRowOf(const CDataRow* row) const;
  // The dataset column of a view column, or -1 for a link column.
  int DataColumn(int viewColumn) const;
  // The relation of a link column, or -1.
  int LinkRelation(int viewColumn) const;
  int ViewColumnOf(int dataColumn) const;
  const std::vector<int>& DataColumns() const { return columns_; }

  // The dataset changed under the model: rebuild the view (a child view
  // whose parent row is gone falls back to its whole table).
  void Reload();
  // Values changed, rows did not.
  void ValuesChanged();

  // A cell's text as the grid shows and edits it (empty for null).
  static QString CellText(const CDataRow& row, int column);
  // Parses a cell's text for a column: empty text is null. False when the
  // text does not convert to the column's type.
  static bool ParseCell(const CDataTable& table, int column, const QString& text, CDataValue& out);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void Rebuild();
  TrkDsc* db_ = nullptr;
  View view_;
  std::vector<int> columns_;  // visible dataset columns
  std::vector<int> links_;    // child relations of the table shown
  EditFunction edit_;
};

}  // namespace lapforge
