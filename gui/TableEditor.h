// LapforgeEdit: the table editor. It holds one track description while it
// is open, shows its tables in a grid bound to the dataset, copies and
// pastes rows through the clipboard, jumps between bands, texture
// definitions and materials, records every change for undo and redo, and
// runs the exports straight on the edited description.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/DescriptionModel.h"
#include "support/Browser.h"


class QGridLayout;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QSplitter;
class QTabWidget;
class QTableView;
class QTimer;
class QVBoxLayout;
class QUndoStack;

namespace lapforge {
class CConversionRunner;
class CLapforge;
class CPreviewTab;
class CTrackMapView;

class LapforgeEdit : public QDialog {
  Q_OBJECT
 public:
  // Opens on an XML file when the name is longer than one character (a file
  // that fails to load leaves the editor without a description), else on a
  // new, empty description.
  LapforgeEdit(const QString& xmlFile, CFileDialogs& dialogs, QWidget* parent = nullptr);
  // On a description loaded already from xmlFile (null: it failed to load).
  LapforgeEdit(const QString& xmlFile, std::shared_ptr<TrkDsc> loaded, CFileDialogs& dialogs,
               QWidget* parent = nullptr);
  ~LapforgeEdit() override;

  TrkDsc* Description() const { return db_.get(); }
  CDescriptionModel* Model() const { return model_; }
  QTableView* Grid() const { return grid_; }
  // The views of the track beside the grid: the top view ("Map") and the
  // 3D view ("3D") on two tabs; the splitter holds the grid and the tabs.
  CTrackMapView* MapView() const { return map_; }
  CPreviewTab* PreviewTab() const { return preview_; }
  QTabWidget* ViewTabs() const { return views_; }
  QSplitter* GridSplitter() const { return split_; }

  // Lays the map out again now instead of when the pending rebuild is due.
  void RebuildMapNow();
  // The section the grid points at: the current row of the Section table,
  // or the section that owns the rows shown; -1 for none.
  int SelectedSection() const;
  // Shows the Section table with this section's row selected (a click on
  // the map).
  void SelectSection(int section);
  QListWidget* TableList() const { return list_; }
  QUndoStack* UndoStack() const { return undo_; }
  CConversionRunner* Runner() const { return runner_; }
  // The button with this text, or nullptr.
  QPushButton* Button(const QString& text) const;

  // Grid navigation. Rows are rows of the model (the dataset's order for a
  // table, the parent's child order for a child view); the grid may show
  // them sorted.
  bool ShowTable(const QString& name);
  void ShowChildren(int row, int relation);
  void Back();
  int CurrentRow() const;
  void SelectRow(int row);
  // Rows in the order the grid shows them.
  std::vector<int> DisplayOrder() const;

  // The row commands.
  void CopyRow(int row);
  // Adds a row built from the clipboard text after the selected row (at the
  // end without one); false when nothing was added.
  bool PasteRow();
  bool PasteText(const QString& text);
  // Double-click on a row header: jump to the matching texture or material.
  void JumpFrom(int row);
  bool AddRow();
  bool RemoveRows(std::vector<int> rows);
  int HelpTopic() const;
  bool WriteXml(const std::string& file);

  // Writes the description over its file (asking for one when new); false
  // when cancelled or not written.
  bool Save();
  // Closing: asks "Save Database?" (naming the file) when there are unsaved
  // changes.
  void reject() override;
  // Every way the editor closes keeps its size, splitter, column widths,
  // table and view tab for the next one (the settings store).
  void done(int result) override;

  // Used by the undo commands.
  struct Snapshot {
    std::vector<std::vector<CDataValue>> tables;  // every column of every row, row after row
  };
  Snapshot TakeSnapshot() const;
  void RestoreSnapshot(const Snapshot& s);
  // A new description holding the rows of a snapshot: a worker thread's
  // own copy of the description, made from a snapshot taken on the window
  // thread (the quick half of a copy).
  static std::shared_ptr<const TrkDsc> DescriptionOf(const Snapshot& s);
  void SetCell(int table, int tableRow, int column, const CDataValue& v);
  // Appends a row: the given (column, value) pairs over the defaults, child
  // of the parent row through relation when relation >= 0.
  void AppendRow(int table, const std::vector<std::pair<int, CDataValue>>& values, int relation, int parentRowIndex);
  void RemoveLastRow(int table);
  int TableRowIndex(const CDataRow* row) const;

 signals:
  void HelpRequested(int topic);

 private:
  // The window's parts, made in this order by BuildWindow.
  void BuildWindow();
  void BuildModels();
  void BuildGrid();
  QVBoxLayout* BuildRightPane();
  QGridLayout* BuildButtons();
  void BuildShortcuts();
  void SetBusy(bool busy);
  void UpdateNavigation();
  void ApplySortOrder();
  void ShowTableIndex(int table);
  void OnHeaderMenu(const QPoint& pos);
  void OnCellClicked(const QModelIndex& index);
  bool EditCell(CDataRow& row, int column, const CDataValue& v);
  // A new section length, offering to recompute the following Starts: 1
  // done (one undo step), 0 failed, -1 declined or not offered (a plain edit).
  int EditSectionLength(CDataRow& row, const CDataValue& v);
  void UpdateCaption();
  void SaveColumnWidths();
  void RestoreColumnWidths();
  void SaveState();
  void RestoreState();
  void keyPressEvent(QKeyEvent* event) override;
  void ScheduleMapRebuild();
  void UpdateMapHighlight();

  // Export commands: a picker, then the driver's road on the worker thread;
  // the report counts the files it wrote.
  using Road = int (CLapforge::*)(const TrkDsc&, const std::string&);
  void ExportToFile(const char* extension, Road road);
  void ExportToFolder(const char* format, Road road);
  void Export(const std::string& output, bool folder, Road road);
  void Run(std::function<int()> work, std::function<void(int)> done);
  void WritePtf();
  void WriteXmlCommand();
  void TsoFromPtf();
  void LpToAiw();
  void CamConverter();

  std::shared_ptr<TrkDsc> db_;
  std::string fileName_;
  CBrowser browser_;
  CDescriptionModel* model_;
  QSortFilterProxyModel* proxy_;
  QListWidget* list_;
  QTableView* grid_;
  QSplitter* split_;
  CTrackMapView* map_;
  CPreviewTab* preview_;
  QTabWidget* views_;
  QTimer* mapTimer_;
  QPushButton* back_;
  QLabel* path_;
  QLabel* notice_;
  QProgressBar* busy_;
  QUndoStack* undo_;
  CConversionRunner* runner_;
  std::vector<QPushButton*> buttons_;
  std::vector<CDescriptionModel::View> backStack_;
  std::vector<std::pair<int, Qt::SortOrder>> sortOrders_;  // per table; column -1 for none
  QElapsedTimer start_;
};

}  // namespace lapforge
