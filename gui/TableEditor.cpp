#include "gui/TableEditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <unordered_set>

#include "gui/ExportCheck.h"
#include "gui/FolderSnapshot.h"
#include "gui/GuiSupport.h"
#include "gui/PreviewTab.h"
#include "gui/StatusWindow.h"
#include "gui/TrackMapView.h"
#include "roads/Lapforge.h"
#include "support/Errors.h"
#include "support/FileString.h"
#include "support/RegOption.h"
#include "support/TextFormat.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

const char* const kCaption = "LapforgeEdit";

// ---- Undo commands -------------------------------------------------------
// Commands name rows by table number and position, never by pointer: a
// restored snapshot rebuilds every row. The first redo of each command is
// skipped, since the editor has already made the change when it pushes it.

class CCellCommand : public QUndoCommand {
 public:
  CCellCommand(LapforgeEdit* ed, int table, int row, int column, CDataValue before, CDataValue after)
      : QUndoCommand(QStringLiteral("Edit cell")),
        ed_(ed),
        table_(table),
        row_(row),
        column_(column),
        before_(std::move(before)),
        after_(std::move(after)) {}
  void redo() override {
    if (first_) {
      first_ = false;
      return;
    }
    ed_->SetCell(table_, row_, column_, after_);
  }
  void undo() override { ed_->SetCell(table_, row_, column_, before_); }

 private:
  LapforgeEdit* ed_;
  int table_, row_, column_;
  CDataValue before_, after_;
  bool first_ = true;
};

class CAppendCommand : public QUndoCommand {
 public:
  CAppendCommand(const QString& text, LapforgeEdit* ed, int table, std::vector<std::pair<int, CDataValue>> values,
                 int relation, int parentRow)
      : QUndoCommand(text),
        ed_(ed),
        table_(table),
        values_(std::move(values)),
        relation_(relation),
        parentRow_(parentRow) {}
  void redo() override {
    if (first_) {
      first_ = false;
      return;
    }
    ed_->AppendRow(table_, values_, relation_, parentRow_);
  }
  void undo() override { ed_->RemoveLastRow(table_); }

 private:
  LapforgeEdit* ed_;
  int table_;
  std::vector<std::pair<int, CDataValue>> values_;
  int relation_, parentRow_;
  bool first_ = true;
};

class CSnapshotCommand : public QUndoCommand {
 public:
  CSnapshotCommand(const QString& text, LapforgeEdit* ed, LapforgeEdit::Snapshot before, LapforgeEdit::Snapshot after)
      : QUndoCommand(text), ed_(ed), before_(std::move(before)), after_(std::move(after)) {}
  void redo() override {
    if (first_) {
      first_ = false;
      return;
    }
    ed_->RestoreSnapshot(after_);
  }
  void undo() override { ed_->RestoreSnapshot(before_); }

 private:
  LapforgeEdit* ed_;
  LapforgeEdit::Snapshot before_, after_;
  bool first_ = true;
};

// ---- Jump rules of the double-click --------------------------------------

struct JumpRule {
  const char* shown;
  std::vector<const char*> source;  // source columns, one per target column
  std::vector<const char*> targets;
  std::vector<const char*> targetColumns;
  int needed;
};

const std::vector<JumpRule>& JumpRules() {
  static const std::vector<JumpRule> rules = {
      {"Traction", {"Grip", "TextureIndex"}, {"TractionTex", "WallTex"}, {"Grip", "TextureIndex"}, 2},
      {"Material",
       {"MateralName", "MateralName", "MateralName", "MateralName", "MateralName"},
       {"TractionTex", "WallTex"},
       {"Tex", "TexLeft", "TexRight", "TexTop", "TexEnd"},
       1},
      {"WallTex",
       {"TexLeft", "TexRight", "TexTop", "TexEnd"},
       {"Material"},
       {"MateralName", "MateralName", "MateralName", "MateralName"},
       1},
      {"TractionTex", {"Tex"}, {"Material"}, {"MateralName"}, 1},
  };
  return rules;
}

}  // namespace

// ---- Window ----------------------------------------------------------------

namespace {
std::shared_ptr<TrkDsc> LoadOrNew(const QString& xmlFile) {
  if (xmlFile.size() > 1) return CLapforge().DataBaseFromXML(xmlFile.toStdString());
  return std::make_shared<TrkDsc>();
}
}  // namespace

LapforgeEdit::LapforgeEdit(const QString& xmlFile, CFileDialogs& dialogs, QWidget* parent)
    : LapforgeEdit(xmlFile, LoadOrNew(xmlFile), dialogs, parent) {}

LapforgeEdit::LapforgeEdit(const QString& xmlFile, std::shared_ptr<TrkDsc> loaded, CFileDialogs& dialogs,
                           QWidget* parent)
    : QDialog(parent), db_(std::move(loaded)), browser_(dialogs) {
  if (xmlFile.size() > 1) fileName_ = xmlFile.toStdString();
  BuildWindow();
  RestoreState();
  UpdateCaption();
  connect(undo_, &QUndoStack::cleanChanged, this, &LapforgeEdit::UpdateCaption);
}

LapforgeEdit::~LapforgeEdit() {
  // The undo commands and the child widgets refer to the description, which
  // goes before the widgets do: let go of it first.
  mapTimer_->stop();
  // The 3D view builds from copies; a build under way stops first.
  delete preview_;
  preview_ = nullptr;
  undo_->disconnect(this);
  grid_->selectionModel()->disconnect(this);
  undo_->clear();
  list_->disconnect(this);
  model_->SetDescription(nullptr);
}

void LapforgeEdit::BuildWindow() {
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  resize(1100, 600);

  BuildModels();
  BuildGrid();
  QVBoxLayout* right = BuildRightPane();
  auto* top = new QHBoxLayout;
  top->addWidget(list_);
  top->addLayout(right, 1);
  QGridLayout* buttons = BuildButtons();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(busy_);
  layout->addLayout(buttons);
  BuildShortcuts();

  if (!db_) {
    notice_->setText(
        QStringLiteral("The description could not be loaded from %1. Only Help and Close work without one.")
            .arg(QString::fromStdString(fileName_)));
    grid_->setEnabled(false);
  } else {
    notice_->hide();
  }
  UpdateNavigation();
  RebuildMapNow();
}

// The table model over the description, its sorting proxy, the undo stack,
// the runner of conversions and the list of tables.
void LapforgeEdit::BuildModels() {
  model_ = new CDescriptionModel(this);
  model_->SetDescription(db_.get());
  model_->SetEditFunction([this](CDataRow& row, int column, const CDataValue& v) { return EditCell(row, column, v); });
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(CDescriptionModel::kSortRole);
  undo_ = new QUndoStack(this);
  runner_ = new CConversionRunner(this);
  connect(runner_, &CConversionRunner::BusyChanged, this, &LapforgeEdit::SetBusy);

  list_ = new QListWidget(this);
  list_->setFixedWidth(170);
  if (db_)
    for (int t = 0; t < db_->TableCount(); ++t) list_->addItem(QString::fromLatin1(db_->Table(t).Name()));
  list_->setCurrentRow(-1);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int t) {
    if (t >= 0) ShowTableIndex(t);
  });
  sortOrders_.assign(db_ ? static_cast<size_t>(db_->TableCount()) : 0, {-1, Qt::AscendingOrder});
}

// The grid of rows: its headers sort, open the row menu and follow links.
void LapforgeEdit::BuildGrid() {
  grid_ = new QTableView(this);
  grid_->setModel(proxy_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSortingEnabled(true);
  grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  grid_->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_->verticalHeader(), &QHeaderView::customContextMenuRequested, this, &LapforgeEdit::OnHeaderMenu);
  connect(grid_->verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
          [this](int proxyRow) { JumpFrom(proxy_->mapToSource(proxy_->index(proxyRow, 0)).row()); });
  connect(grid_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
    const int t = model_->CurrentView().table;
    if (t >= 0 && static_cast<size_t>(t) < sortOrders_.size()) sortOrders_[static_cast<size_t>(t)] = {column, order};
  });
  connect(grid_, &QTableView::clicked, this, &LapforgeEdit::OnCellClicked);
}

// Right of the table list: the navigation line, the notice, and the grid
// with the map and the 3D view beside it on two tabs. Each is laid out again
// a moment after the description changes (a burst of edits makes one
// rebuild); the 3D view builds on a worker thread from a copy, and only
// while its tab is shown.
QVBoxLayout* LapforgeEdit::BuildRightPane() {
  back_ = new QPushButton(QStringLiteral("Back"), this);
  path_ = new QLabel(this);
  connect(back_, &QPushButton::clicked, this, &LapforgeEdit::Back);
  notice_ = new QLabel(this);
  notice_->setWordWrap(true);
  busy_ = new QProgressBar(this);
  busy_->setRange(0, 0);
  busy_->setMaximumHeight(14);
  busy_->hide();

  auto* nav = new QHBoxLayout;
  nav->addWidget(back_);
  nav->addWidget(path_, 1);
  auto* right = new QVBoxLayout;
  right->addLayout(nav);
  right->addWidget(notice_);
  map_ = new CTrackMapView(this);
  connect(map_, &CTrackMapView::SectionClicked, this, &LapforgeEdit::SelectSection);
  // The computed racing line on the map, coloured by speed (off by default:
  // it costs a solve on every rebuild).
  auto* showLine = new QCheckBox(QStringLiteral("Racing line"), this);
  showLine->setObjectName(QStringLiteral("showLine"));
  showLine->setToolTip(QStringLiteral("Draw the computed racing line on the map, coloured by speed"));
  connect(showLine, &QCheckBox::toggled, this, [this](bool on) {
    map_->SetShowLine(on);
    RebuildMapNow();
  });
  nav->addWidget(showLine);
  preview_ = new CPreviewTab(
      [this] {
        CPreviewTab::Input input;
        if (db_) {
          auto rows = std::make_shared<const Snapshot>(TakeSnapshot());
          input.description = [rows] { return DescriptionOf(*rows); };
        }
        if (!fileName_.empty()) input.textureFolder = FileString::Path(fileName_);
        return input;
      },
      this);
  connect(preview_, &CPreviewTab::SectionClicked, this, &LapforgeEdit::SelectSection);
  views_ = new QTabWidget(this);
  views_->setObjectName(QStringLiteral("trackViews"));
  views_->addTab(map_, QStringLiteral("Map"));
  views_->addTab(preview_, QStringLiteral("3D"));
  split_ = new QSplitter(Qt::Horizontal, this);
  split_->addWidget(grid_);
  split_->addWidget(views_);
  split_->setStretchFactor(0, 3);
  split_->setStretchFactor(1, 2);
  split_->setChildrenCollapsible(true);
  right->addWidget(split_, 1);
  mapTimer_ = new QTimer(this);
  mapTimer_->setSingleShot(true);
  mapTimer_->setInterval(300);
  connect(mapTimer_, &QTimer::timeout, this, &LapforgeEdit::RebuildMapNow);
  connect(undo_, &QUndoStack::indexChanged, this, &LapforgeEdit::ScheduleMapRebuild);
  connect(undo_, &QUndoStack::indexChanged, preview_, &CPreviewTab::DescriptionChanged);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &LapforgeEdit::UpdateMapHighlight);
  return right;
}

// The command buttons, seven to a row; those that need a description stay
// off without one.
QGridLayout* LapforgeEdit::BuildButtons() {
  struct ButtonDef {
    const char* text;
    std::function<void()> action;
    bool needsDescription;
  };
  const std::vector<ButtonDef> defs = {
      {"Write PTF", [this] { WritePtf(); }, true},
      {"Write XML", [this] { WriteXmlCommand(); }, true},
      {"Write F1  MTS", [this] { ExportToFolder("MTS", &CLapforge::MTSFromDataBase); }, true},
      {"TSO Table form PTF", [this] { TsoFromPtf(); }, true},
      {"Write 3DS", [this] { ExportToFile("3DS", &CLapforge::_3DSFromDataBase); }, true},
      {"Write GTR", [this] { ExportToFolder("GTR", &CLapforge::GTRFromDataBase); }, true},
      {"Write rFactor", [this] { ExportToFolder("rFactor", &CLapforge::RFactorFromDataBase); }, true},
      {"Help", [this] { CHelp::Open(HelpTopic()); }, false},
      {"Close", [this] { close(); }, false},
      {"Write GTL", [this] { ExportToFolder("GTL", &CLapforge::GTLFromDataBase); }, true},
      {"Write 3SE", [this] { ExportToFile("3SE", &CLapforge::_3SEFromDataBase); }, true},
      {"LP to AIW", [this] { LpToAiw(); }, true},
      {"Write GTR2", [this] { ExportToFolder("GTR2", &CLapforge::GTR2FromDataBase); }, true},
      {"Cam Converter", [this] { CamConverter(); }, true},
  };
  auto* buttons = new QGridLayout;
  for (size_t i = 0; i < defs.size(); ++i) {
    auto* b = new QPushButton(QString::fromLatin1(defs[i].text), this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, defs[i].action);
    b->setProperty("needsDescription", defs[i].needsDescription);
    b->setEnabled(db_ || !defs[i].needsDescription);
    buttons->addWidget(b, static_cast<int>(i / 7), static_cast<int>(i % 7));
    buttons_.push_back(b);
  }
  return buttons;
}

// Keyboard: help, row commands, undo and redo.
void LapforgeEdit::BuildShortcuts() {
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, [this] { CHelp::Open(HelpTopic()); });
  // Undo and redo wait while an export reads the description.
  auto* undo = new QAction(this);
  undo->setShortcut(QKeySequence::Undo);
  connect(undo, &QAction::triggered, this, [this] {
    if (!runner_->Busy()) undo_->undo();
  });
  auto* redo = new QAction(this);
  // Ctrl+Y and Ctrl+Shift+Z redo on every platform, beside its own key.
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  for (const QKeySequence& k : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
    if (!redoKeys.contains(k)) redoKeys << k;
  redo->setShortcuts(redoKeys);
  connect(redo, &QAction::triggered, this, [this] {
    if (!runner_->Busy()) undo_->redo();
  });
  addAction(undo);
  addAction(redo);
  auto* save = new QAction(this);
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, [this] {
    if (db_ && !runner_->Busy()) Save();
  });
  addAction(save);
  auto rowAction = [this](const QKeySequence& key, std::function<void()> f) {
    auto* a = new QAction(this);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetShortcut);
    connect(a, &QAction::triggered, this, f);
    grid_->addAction(a);
  };
  rowAction(QKeySequence::Copy, [this] { CopyRow(CurrentRow()); });
  rowAction(QKeySequence::Paste, [this] { PasteRow(); });
  rowAction(QKeySequence(Qt::Key_Insert), [this] { AddRow(); });
  rowAction(QKeySequence::Delete, [this] {
    std::vector<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedRows()) rows.push_back(proxy_->mapToSource(i).row());
    if (rows.empty() && CurrentRow() >= 0) rows.push_back(CurrentRow());
    RemoveRows(rows);
  });
}

QPushButton* LapforgeEdit::Button(const QString& text) const {
  for (QPushButton* b : buttons_)
    if (b->text() == text) return b;
  return nullptr;
}

void LapforgeEdit::SetBusy(bool busy) {
  busy_->setVisible(busy);
  list_->setEnabled(!busy);
  grid_->setEnabled(!busy && db_);
  for (QPushButton* b : buttons_) {
    const bool usable = db_ || !b->property("needsDescription").toBool();
    b->setEnabled(usable && (!busy || b->text() == QLatin1String("Help") || b->text() == QLatin1String("Close")));
  }
}

// ---- Navigation ------------------------------------------------------------

void LapforgeEdit::ShowTableIndex(int table) {
  if (!db_ || table < 0 || table >= db_->TableCount()) return;
  SaveColumnWidths();
  backStack_.clear();
  model_->ShowTable(table);
  RestoreColumnWidths();
  if (list_->currentRow() != table) {
    const QSignalBlocker block(list_);
    list_->setCurrentRow(table);
  }
  ApplySortOrder();
  UpdateNavigation();
}

bool LapforgeEdit::ShowTable(const QString& name) {
  if (!db_) return false;
  for (int t = 0; t < db_->TableCount(); ++t)
    if (name.compare(QLatin1String(db_->Table(t).Name()), Qt::CaseInsensitive) == 0) {
      ShowTableIndex(t);
      return true;
    }
  return false;
}

void LapforgeEdit::ApplySortOrder() {
  const int t = model_->CurrentView().table;
  if (t < 0) return;
  auto& order = sortOrders_[static_cast<size_t>(t)];
  // The material list reads best by name: it is sorted when first shown.
  if (order.first < 0 && t == TrkDsc::kTable_Material) order = {0, Qt::AscendingOrder};
  const auto keep = order;
  grid_->sortByColumn(keep.first, keep.second);
  if (keep.first < 0) proxy_->sort(-1);
  order = keep;
}

void LapforgeEdit::ShowChildren(int row, int relation) {
  CDataRow* parent = model_->RowAt(row);
  if (!parent || relation < 0) return;
  SaveColumnWidths();
  backStack_.push_back(model_->CurrentView());
  const int parentIndex = TableRowIndex(parent);
  model_->Show(CDescriptionModel::View{db_->Relation(relation).childTable, relation, parentIndex});
  RestoreColumnWidths();
  ApplySortOrder();
  UpdateNavigation();
}

void LapforgeEdit::Back() {
  if (backStack_.empty()) return;
  const CDescriptionModel::View child = model_->CurrentView();
  const CDescriptionModel::View view = backStack_.back();
  backStack_.pop_back();
  SaveColumnWidths();
  model_->Show(view);
  RestoreColumnWidths();
  ApplySortOrder();
  UpdateNavigation();
  // Select the parent row the child view belonged to.
  if (child.relation >= 0) {
    const RelationSchema& rel = db_->Relation(child.relation);
    if (rel.parentTable == view.table && child.parentRowIndex < db_->Table(rel.parentTable).Count())
      SelectRow(model_->ViewRowOf(&db_->Table(rel.parentTable).Row(child.parentRowIndex)));
  }
}

void LapforgeEdit::ScheduleMapRebuild() { mapTimer_->start(); }

void LapforgeEdit::RebuildMapNow() {
  mapTimer_->stop();
  // An export reads the description on the worker thread and may show
  // messages meanwhile: the map waits for it.
  if (runner_->Busy()) {
    mapTimer_->start();
    return;
  }
  map_->Rebuild(db_.get());
  UpdateMapHighlight();
}

void LapforgeEdit::SelectSection(int section) {
  if (!db_ || section < 0 || section >= db_->Section.Count()) return;
  if (model_->CurrentView().table != TrkDsc::kTable_Section || model_->CurrentView().relation >= 0)
    ShowTableIndex(TrkDsc::kTable_Section);
  SelectRow(model_->ViewRowOf(&db_->Table(TrkDsc::kTable_Section).Row(section)));
}

int LapforgeEdit::SelectedSection() const {
  if (!db_) return -1;
  CDescriptionModel::View v = model_->CurrentView();
  if (v.table == TrkDsc::kTable_Section) {
    const CDataRow* row = model_->RowAt(CurrentRow());
    return row ? TableRowIndex(row) : -1;
  }
  // A row of a table under the sections (Traction, Contour...), shown on its
  // own: the section it belongs to.
  if (const CDataRow* row = model_->RowAt(CurrentRow()))
    for (int r = 0; r < db_->RelationCount(); ++r)
      if (db_->Relation(r).childTable == v.table && db_->Relation(r).parentTable == TrkDsc::kTable_Section)
        if (const CDataRow* parent = row->ParentRow(r)) return TableRowIndex(parent);
  // A child view: up through the parents to a Section row.
  for (size_t up = backStack_.size(); v.relation >= 0;) {
    if (db_->Relation(v.relation).parentTable == TrkDsc::kTable_Section) return v.parentRowIndex;
    if (up == 0) break;
    v = backStack_[--up];
  }
  return -1;
}

void LapforgeEdit::UpdateMapHighlight() {
  const int section = SelectedSection();
  map_->SetHighlight(section);
  if (preview_) preview_->SetSelectedSection(section);
}

void LapforgeEdit::UpdateNavigation() {
  UpdateMapHighlight();
  const auto& v = model_->CurrentView();
  const bool child = v.relation >= 0;
  back_->setVisible(child);
  path_->setVisible(child);
  if (child) {
    const RelationSchema& rel = db_->Relation(v.relation);
    // The parent is named by its Index where it has one, as the grid shows it.
    const CDataTable& parent = db_->Table(rel.parentTable);
    const int indexColumn = parent.FindColumn("Index");
    QString which = QStringLiteral("row %1").arg(v.parentRowIndex + 1);
    if (indexColumn >= 0 && v.parentRowIndex < parent.Count() && !parent.Row(v.parentRowIndex).Value(indexColumn).null)
      which = CDescriptionModel::CellText(parent.Row(v.parentRowIndex), indexColumn);
    path_->setText(QStringLiteral("%1 %2: %3")
                       .arg(QLatin1String(parent.Name()))
                       .arg(which)
                       .arg(QLatin1String(db_->Table(rel.childTable).Name())));
  }
}

void LapforgeEdit::OnCellClicked(const QModelIndex& proxyIndex) {
  const QModelIndex index = proxy_->mapToSource(proxyIndex);
  const int rel = model_->LinkRelation(index.column());
  if (rel >= 0) ShowChildren(index.row(), rel);
}

int LapforgeEdit::CurrentRow() const {
  const QModelIndex i = proxy_->mapToSource(grid_->currentIndex());
  return i.isValid() ? i.row() : -1;
}

void LapforgeEdit::SelectRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex i = proxy_->mapFromSource(model_->index(row, 0));
  grid_->setCurrentIndex(i);
  grid_->selectRow(i.row());
  grid_->scrollTo(i);
}

std::vector<int> LapforgeEdit::DisplayOrder() const {
  std::vector<int> rows;
  const int n = proxy_->rowCount();
  rows.reserve(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) rows.push_back(proxy_->mapToSource(proxy_->index(r, 0)).row());
  return rows;
}

void LapforgeEdit::OnHeaderMenu(const QPoint& pos) {
  const int proxyRow = grid_->verticalHeader()->logicalIndexAt(pos);
  if (proxyRow < 0) return;
  const int row = proxy_->mapToSource(proxy_->index(proxyRow, 0)).row();
  SelectRow(row);
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("Copy"));
  QAction* paste = menu.addAction(QStringLiteral("Paste"));
  QAction* chosen = menu.exec(grid_->verticalHeader()->mapToGlobal(pos));
  if (chosen == paste)
    PasteRow();
  else if (chosen == copy)
    CopyRow(row);
}

// ---- Row commands ----------------------------------------------------------

void LapforgeEdit::CopyRow(int row) {
  const CDataRow* r = model_->RowAt(row);
  if (!r) return;
  QStringList parts;
  for (int c : model_->DataColumns()) parts << CDescriptionModel::CellText(*r, c).replace(' ', '|');
  QApplication::clipboard()->setText(parts.join('\t'));
}

bool LapforgeEdit::PasteRow() { return PasteText(QApplication::clipboard()->text()); }

bool LapforgeEdit::PasteText(const QString& text) {
  CDataTable* t = model_->Table();
  if (!t) return false;
  // A copied row is tab-separated without blanks (they travel as "|"); an
  // empty part between two tabs is a null column that must keep the later
  // values in their columns. Other text is split at any white space.
  QStringList parts;
  QString body = text;
  while (body.endsWith('\n') || body.endsWith('\r')) body.chop(1);
  static const QRegularExpression kBlankOrBreak(QStringLiteral("[ \r\n]"));
  if (body.contains('\t') && !body.contains(kBlankOrBreak)) {
    parts = body.split('\t');
  } else {
    static const QRegularExpression kWhiteSpace(QStringLiteral("\\s+"));
    parts = body.split(kWhiteSpace, Qt::SkipEmptyParts);
  }
  if (parts.size() < 2) return false;

  const std::vector<int>& columns = model_->DataColumns();
  const size_t n = std::min(static_cast<size_t>(parts.size()), columns.size());
  std::vector<std::pair<int, CDataValue>> values;
  for (size_t i = 0; i < n; ++i) {
    QString s = parts[static_cast<int>(i)];
    s.replace('|', ' ');
    CDataValue v;
    if (!CDescriptionModel::ParseCell(*t, columns[i], s, v)) {
      ShowWarning("\"" + s.toStdString() + "\" is not a valid " + ColTypeName(t->Column(columns[i]).type) +
                      " value for column " + t->Column(columns[i]).name,
                  kCaption);
      return false;
    }
    values.emplace_back(columns[i], std::move(v));
  }
  const auto view = model_->CurrentView();
  // The row goes after the selected one (at the end without a selection).
  const CDataRow* selected = model_->RowAt(CurrentRow());
  const int after = selected ? TableRowIndex(selected) : -1;
  const bool atEnd = after < 0 || after == t->Count() - 1;
  Snapshot before = atEnd ? Snapshot() : TakeSnapshot();
  try {
    AppendRow(view.table, values, view.relation, view.parentRowIndex);
  } catch (const std::exception& e) {
    ShowError(ErrorText(e), kCaption);
    return false;
  }
  if (atEnd) {
    undo_->push(new CAppendCommand(QStringLiteral("Paste"), this, view.table, std::move(values), view.relation,
                                   view.parentRowIndex));
    SelectRow(model_->rowCount() - 1);
    return true;
  }
  // Moved from the end to its place: every row is laid down again in the
  // new order, keeping its keys.
  Snapshot moved = TakeSnapshot();
  auto& cells = moved.tables[static_cast<size_t>(view.table)];
  const auto width = static_cast<std::ptrdiff_t>(t->ColumnCount());
  std::rotate(cells.begin() + (after + 1) * width, cells.end() - width, cells.end());
  RestoreSnapshot(moved);
  undo_->push(new CSnapshotCommand(QStringLiteral("Paste"), this, std::move(before), std::move(moved)));
  SelectRow(model_->ViewRowOf(&db_->Table(view.table).Row(after + 1)));
  return true;
}

bool LapforgeEdit::AddRow() {
  const auto view = model_->CurrentView();
  if (view.table < 0) return false;
  try {
    AppendRow(view.table, {}, view.relation, view.parentRowIndex);
  } catch (const std::exception& e) {
    ShowError(ErrorText(e), kCaption);
    return false;
  }
  undo_->push(new CAppendCommand(QStringLiteral("Add row"), this, view.table, {}, view.relation, view.parentRowIndex));
  SelectRow(model_->rowCount() - 1);
  return true;
}

bool LapforgeEdit::RemoveRows(std::vector<int> rows) {
  CDataTable* t = model_->Table();
  if (!t || rows.empty()) return false;
  std::vector<CDataRow*> doomed;
  for (int r : rows)
    if (CDataRow* row = model_->RowAt(r)) doomed.push_back(row);
  if (doomed.empty()) return false;
  // Rows of other tables that go with them (a section's bands and their
  // texture coordinates, its contours...), found level by level.
  std::unordered_set<const CDataRow*> going(doomed.begin(), doomed.end());
  int children = 0;
  for (bool grew = true; grew;) {
    grew = false;
    for (int r = 0; r < db_->RelationCount(); ++r) {
      const CDataTable& child = db_->Table(db_->Relation(r).childTable);
      for (int i = 0; i < child.Count(); ++i) {
        const CDataRow* row = &child.Row(i);
        if (going.count(row) == 0 && going.count(row->ParentRow(r)) > 0) {
          going.insert(row);
          ++children;
          grew = true;
        }
      }
    }
  }
  if (children > 0 &&
      !UI().YesNo(StrFormat("Remove %zu row(s) of %s and the %d row(s) of other tables that belong to them?",
                            doomed.size(), t->Name(), children),
                  kCaption))
    return false;
  Snapshot before = TakeSnapshot();
  for (CDataRow* row : doomed) t->RemoveRow(row);
  undo_->push(new CSnapshotCommand(doomed.size() == 1 ? QStringLiteral("Remove row") : QStringLiteral("Remove rows"),
                                   this, std::move(before), TakeSnapshot()));
  model_->Reload();
  return true;
}

void LapforgeEdit::JumpFrom(int row) {
  CDataTable* shown = model_->Table();
  const CDataRow* src = model_->RowAt(row);
  if (!shown || !src) return;
  const QString name = QString::fromLatin1(shown->Name());
  for (const JumpRule& rule : JumpRules()) {
    if (name.compare(QLatin1String(rule.shown), Qt::CaseInsensitive) != 0) continue;
    QStringList wanted;
    for (const char* c : rule.source) {
      const int col = shown->FindColumn(c);
      wanted << (col >= 0 ? CDescriptionModel::CellText(*src, col) : QString());
    }
    for (const char* target : rule.targets) {
      ShowTable(QString::fromLatin1(target));
      const CDataTable* t = model_->Table();
      std::vector<int> cols;
      for (const char* c : rule.targetColumns) cols.push_back(t->FindColumn(c));
      for (int r : DisplayOrder()) {
        const CDataRow* candidate = model_->RowAt(r);
        int matches = 0;
        for (size_t i = 0; i < cols.size() && i < static_cast<size_t>(wanted.size()); ++i)
          if (cols[i] >= 0 && CDescriptionModel::CellText(*candidate, cols[i])
                                      .compare(wanted[static_cast<int>(i)], Qt::CaseInsensitive) == 0)
            ++matches;
        if (matches >= rule.needed) {
          SelectRow(r);
          return;
        }
      }
    }
    return;
  }
}

int LapforgeEdit::HelpTopic() const {
  const CDataTable* t = model_->Table();
  return t ? CHelp::TableTopic(QString::fromLatin1(t->Name())) : CHelp::kTablesTopic;
}

bool LapforgeEdit::EditCell(CDataRow& row, int column, const CDataValue& v) {
  if (row.Table().Index() == TrkDsc::kTable_Section && column == TrkDsc::kSection_Length)
    if (const int changed = EditSectionLength(row, v); changed >= 0) return changed > 0;
  CDataValue before = row.Value(column);
  try {
    row.SetValue(column, v);
  } catch (const std::exception& e) {
    ShowError(ErrorText(e), kCaption);
    return false;
  }
  undo_->push(
      new CCellCommand(this, row.Table().Index(), TableRowIndex(&row), column, std::move(before), row.Value(column)));
  return true;
}

int LapforgeEdit::EditSectionLength(CDataRow& row, const CDataValue& v) {
  CDataTable& sections = row.Table();
  const int at = TableRowIndex(&row);
  const int following = sections.Count() - 1 - at;
  if (following <= 0 || v.null || row.Value(TrkDsc::kSection_Length).null) return -1;
  if (!UI().YesNo(StrFormat("Recompute the Start of the %d following section(s) from the new length?", following),
                  kCaption))
    return -1;
  // The length and the Starts after it change as one step: each Start is the
  // one before it plus that section's length.
  Snapshot before = TakeSnapshot();
  try {
    row.SetValue(TrkDsc::kSection_Length, v);
    for (int i = at + 1; i < sections.Count(); ++i) {
      const CDataRow& previous = sections.Row(i - 1);
      const CDataValue& start = previous.Value(TrkDsc::kSection_Start);
      const CDataValue& length = previous.Value(TrkDsc::kSection_Length);
      if (start.null || length.null) break;
      sections.Row(i).SetValue(TrkDsc::kSection_Start, CDataValue::Real(start.d + length.d));
    }
  } catch (const std::exception& e) {
    RestoreSnapshot(before);
    ShowError(ErrorText(e), kCaption);
    return 0;
  }
  undo_->push(new CSnapshotCommand(QStringLiteral("Change length"), this, std::move(before), TakeSnapshot()));
  model_->ValuesChanged();
  return 1;
}

// ---- Changes made by the undo commands ---------------------------------------

LapforgeEdit::Snapshot LapforgeEdit::TakeSnapshot() const {
  Snapshot s;
  s.tables.resize(static_cast<size_t>(db_->TableCount()));
  for (int t = 0; t < db_->TableCount(); ++t) {
    const CDataTable& table = db_->Table(t);
    auto& values = s.tables[static_cast<size_t>(t)];
    values.reserve(static_cast<size_t>(table.Count()) * static_cast<size_t>(table.ColumnCount()));
    for (int r = 0; r < table.Count(); ++r)
      for (int c = 0; c < table.ColumnCount(); ++c) values.push_back(table.Row(r).Value(c));
  }
  return s;
}

namespace {
// Lays the rows of a snapshot into an empty description. Every row comes
// back with its own key values; parent tables come before their children in
// dataset order, so each reference finds its parent.
void Fill(TrkDsc& db, const LapforgeEdit::Snapshot& s) {
  for (int t = 0; t < db.TableCount(); ++t) {
    CDataTable& table = db.Table(t);
    const auto& values = s.tables[static_cast<size_t>(t)];
    const size_t columns = static_cast<size_t>(table.ColumnCount());
    for (size_t at = 0; at + columns <= values.size(); at += columns) {
      CDataRow* row = table.NewRow();
      for (size_t c = 0; c < columns; ++c) row->SetValue(static_cast<int>(c), values[at + c]);
      table.AddRow(row);
    }
  }
}
}  // namespace

void LapforgeEdit::RestoreSnapshot(const Snapshot& s) {
  db_->Clear();
  Fill(*db_, s);
  model_->Reload();
}

std::shared_ptr<const TrkDsc> LapforgeEdit::DescriptionOf(const Snapshot& s) {
  auto db = std::make_shared<TrkDsc>();
  Fill(*db, s);
  return db;
}

void LapforgeEdit::SetCell(int table, int tableRow, int column, const CDataValue& v) {
  db_->Table(table).Row(tableRow).SetValue(column, v);
  model_->ValuesChanged();
}

void LapforgeEdit::AppendRow(int table, const std::vector<std::pair<int, CDataValue>>& values, int relation,
                             int parentRowIndex) {
  CDataTable& t = db_->Table(table);
  CDataRow* row = t.NewRow();
  try {
    for (const auto& [column, value] : values) row->SetValue(column, value);
    if (relation >= 0)
      row->SetParentRow(relation, &db_->Table(db_->Relation(relation).parentTable).Row(parentRowIndex));
    t.AddRow(row);
  } catch (...) {
    t.DiscardRow(row);
    throw;
  }
  model_->Reload();
}

void LapforgeEdit::RemoveLastRow(int table) {
  CDataTable& t = db_->Table(table);
  if (t.Count() > 0) t.RemoveRow(&t.Row(t.Count() - 1));
  model_->Reload();
}

int LapforgeEdit::TableRowIndex(const CDataRow* row) const {
  const CDataTable& t = row->Table();
  for (int i = t.Count() - 1; i >= 0; --i)
    if (&t.Row(i) == row) return i;
  return -1;
}

// ---- Commands of the buttons -------------------------------------------------

void LapforgeEdit::Run(std::function<int()> work, std::function<void(int)> done) {
  runner_->Run(std::move(work), std::move(done));
}

void LapforgeEdit::ExportToFile(const char* extension, Road road) {
  const std::string file = browser_.GetWriteFile(
      extension, {std::string("Save the ") + extension + " file as",
                  fileName_.empty() ? std::string()
                                    : SiblingFile(fileName_, QString::fromLatin1(extension).toLower().toStdString())});
  if (!file.empty()) Export(file, false, road);
}

void LapforgeEdit::ExportToFolder(const char* format, Road road) {
  const std::string folder =
      browser_.GetFolder(format, {std::string("Choose the folder for the ") + format + " files (a new name is created)",
                                  fileName_.empty() ? std::string() : FileString::Path(fileName_)});
  if (!folder.empty()) Export(folder, true, road);
}

void LapforgeEdit::Export(const std::string& output, bool folder, Road road) {
  // The checks see the description as it is now; edits wait until the
  // export has read it.
  std::shared_ptr<const TrkDsc> db = db_;
  const std::string path = fileName_;
  const bool meshes = road != &CLapforge::PTFFromDataBase;
  CheckThenExport(
      *runner_, this, [db, path] { return CheckDescription(*db, path); }, meshes,
      [this, db, output, folder, road](const QStringList& checkWarnings) {
        start_.start();
        const CFolderSnapshot before =
            folder ? CFolderSnapshot::Take(QString::fromStdString(output)) : CFolderSnapshot();
        Run([db, output, road] { return CLapforge().Files(road, *db, output); },
            [this, output, folder, checkWarnings, before](int files) {
              if (files <= 0) return;
              CStatusWindow::OperationCompleted(
                  files, start_, CompletionDetails::Of(output, folder, checkWarnings, runner_->Warnings(), before));
            });
      });
}

void LapforgeEdit::WritePtf() {
  const std::string file = browser_.GetWriteFile(
      "PTF", {"Save the PTF track as",
              fileName_.empty() ? std::string() : FileString::LowerFileName(SiblingFile(fileName_, "ptf"))});
  if (file.empty()) return;
  // The games find a track by its lower-cased name, which is the name written.
  const std::string lower = FileString::LowerFileName(file);
  if (lower != file &&
      !UI().YesNo("PTF file names are written in lower case: the track is written as\n" + lower + "\nWrite it?",
                  kCaption))
    return;
  Export(lower, false, &CLapforge::PTFFromDataBase);
}

bool LapforgeEdit::WriteXml(const std::string& file) {
  if (!CLapforge().DataBaseToXML(*db_, file)) return false;
  fileName_ = file;
  undo_->setClean();
  UpdateCaption();
  return true;
}

bool LapforgeEdit::Save() {
  const std::string file =
      fileName_.empty() ? browser_.GetWriteFile("XML", {"Save the description as", {}}) : fileName_;
  return !file.empty() && WriteXml(file);
}

void LapforgeEdit::UpdateCaption() {
  // The file's path, or "New..." for a description not saved yet; "*" when
  // it has changes not saved.
  const QString name = fileName_.empty() ? QStringLiteral("New...") : QString::fromStdString(fileName_);
  setWindowTitle(undo_->isClean() ? name : name + '*');
}

void LapforgeEdit::keyPressEvent(QKeyEvent* event) {
  // Escape stays in the grid (it ends an edit there) and never closes the
  // editor with its changes.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void LapforgeEdit::WriteXmlCommand() {
  const std::string file = browser_.GetWriteFile("XML", {"Save the description as", fileName_});
  if (!file.empty()) WriteXml(file);
}

void LapforgeEdit::TsoFromPtf() {
  const std::string ptf = browser_.GetReadFile("PTF");
  if (ptf.empty()) return;
  const bool xyz = CRegOption::GetOption("TSOXYZ", 0) != 0;
  const bool autoMaterials = CRegOption::GetOption("ISIMaterials", 1) != 0;
  auto imported = std::make_shared<std::unique_ptr<TrkDsc>>();
  Run(
      [imported, ptf, xyz, autoMaterials] {
        *imported = CLapforge().DataBaseFromPTF(ptf, xyz, autoMaterials);
        return *imported ? 1 : 0;
      },
      [this, imported](int) {
        if (!*imported || (*imported)->TSO.Count() == 0) return;
        Snapshot before = TakeSnapshot();
        CDataTable& tso = db_->TSO.Table();
        while (tso.Count() > 0) tso.RemoveRow(&tso.Row(tso.Count() - 1));
        const CDataTable& from = (*imported)->TSO.Table();
        for (int r = 0; r < from.Count(); ++r) {
          CDataRow* row = tso.NewRow();
          for (int c = 0; c < from.ColumnCount(); ++c) row->SetValue(c, from.Row(r).Value(c));
          tso.AddRow(row);
        }
        undo_->push(
            new CSnapshotCommand(QStringLiteral("TSO Table form PTF"), this, std::move(before), TakeSnapshot()));
        model_->Reload();
      });
}

void LapforgeEdit::LpToAiw() {
  const std::string lp = browser_.GetReadFile("LP", CRegOption::GetOption("LastPapyTrack", std::string()));
  if (lp.empty()) return;
  const std::string aiw = browser_.GetWriteFile("AIW");
  if (aiw.empty()) return;
  start_.start();
  std::shared_ptr<const TrkDsc> db = db_;
  Run([db, lp, aiw] { return CLapforge().AIWFromDataBase(*db, lp, aiw); },
      [this, aiw](int n) {
        if (n <= 0) return;
        CompletionDetails details;
        details.output = QString::fromStdString(aiw);
        details.warnings = runner_->Warnings();
        CStatusWindow::OperationCompleted(1, start_, details);
      });
}

void LapforgeEdit::CamConverter() {
  const std::string in = browser_.GetReadFile("cam", CRegOption::GetOption("LastPapyTrack", std::string()));
  if (in.empty()) return;
  const std::string out = browser_.GetWriteFile("CAM");
  if (out.empty()) return;
  start_.start();
  std::shared_ptr<const TrkDsc> db = db_;
  Run([db, in, out] { return CLapforge().CamFromDataBase(*db, in, out); },
      [this, out](int n) {
        if (n <= 0) return;
        CompletionDetails details;
        details.output = QString::fromStdString(out);
        details.warnings = runner_->Warnings();
        CStatusWindow::OperationCompleted(1, start_, details);
      });
}

// ---- State kept between runs -------------------------------------------------

namespace {
std::string ColumnsSetting(const char* table) { return std::string("EditorColumns.") + table; }
QByteArray Stored(const char* name) {
  return QByteArray::fromBase64(QByteArray::fromStdString(CRegOption::GetOption(name, std::string())));
}
void Store(const char* name, const QByteArray& bytes) {
  static_cast<void>(CRegOption::SetOption(name, bytes.toBase64().toStdString()));
}
}  // namespace

void LapforgeEdit::SaveColumnWidths() {
  const int t = model_->CurrentView().table;
  if (!db_ || t < 0 || proxy_->columnCount() == 0) return;
  QStringList widths;
  for (int c = 0; c < proxy_->columnCount(); ++c) widths << QString::number(grid_->columnWidth(c));
  static_cast<void>(CRegOption::SetOption(ColumnsSetting(db_->Table(t).Name()), widths.join(',').toStdString()));
}

void LapforgeEdit::RestoreColumnWidths() {
  const int t = model_->CurrentView().table;
  if (!db_ || t < 0) return;
  const QStringList widths =
      QString::fromStdString(CRegOption::GetOption(ColumnsSetting(db_->Table(t).Name()), std::string())).split(',');
  if (widths.size() != proxy_->columnCount()) return;  // another layout of the table: Qt's widths
  for (int c = 0; c < widths.size(); ++c)
    if (const int w = widths[c].toInt(); w > 0) grid_->setColumnWidth(c, w);
}

void LapforgeEdit::SaveState() {
  Store("EditorGeometry", saveGeometry());
  Store("EditorSplitter", split_->saveState());
  static_cast<void>(CRegOption::SetOption("EditorView", views_->currentIndex()));
  SaveColumnWidths();
  if (db_ && model_->CurrentView().table >= 0)
    static_cast<void>(CRegOption::SetOption("EditorTable", db_->Table(model_->CurrentView().table).Name()));
}

void LapforgeEdit::RestoreState() {
  if (const QByteArray g = Stored("EditorGeometry"); !g.isEmpty()) restoreGeometry(g);
  if (const QByteArray sp = Stored("EditorSplitter"); !sp.isEmpty()) split_->restoreState(sp);
  // The map or the 3D view, as last time.
  views_->setCurrentIndex(std::clamp(CRegOption::GetOption("EditorView", 0), 0, views_->count() - 1));
  const std::string table = CRegOption::GetOption("EditorTable", std::string());
  if (!table.empty()) ShowTable(QString::fromStdString(table));
}

void LapforgeEdit::done(int result) {
  SaveState();
  QDialog::done(result);
}

// ---- Closing -----------------------------------------------------------------

void LapforgeEdit::reject() {
  if (runner_->Busy() &&
      !UI().YesNo("An export is still running. It goes on until it ends; close this window anyway?", kCaption))
    return;
  if (db_ && !undo_->isClean()) {
    // Yes saves over the file that was opened; a new description asks where.
    const std::string question = fileName_.empty() ? "Save Database?" : "Save Database?\n" + fileName_;
    switch (UI().YesNoCancel(question, kCaption)) {
      case UiAnswer::Cancel:
        return;
      case UiAnswer::Yes:
        // A cancelled picker or a failed write keeps the window and its edits.
        if (!Save()) return;
        break;
      case UiAnswer::No:
        break;
    }
  }
  QDialog::reject();
}

}  // namespace lapforge
