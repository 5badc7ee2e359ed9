#include "gui/DescriptionModel.h"

#include <QBrush>
#include <QFont>

#include "support/UserInterface.h"

namespace lapforge {

CDescriptionModel::CDescriptionModel(QObject* parent) : QAbstractTableModel(parent) {}

void CDescriptionModel::SetDescription(TrkDsc* db) {
  beginResetModel();
  db_ = db;
  view_ = View{};
  Rebuild();
  endResetModel();
}

void CDescriptionModel::Show(const View& view) {
  beginResetModel();
  view_ = view;
  Rebuild();
  endResetModel();
}

void CDescriptionModel::Reload() {
  beginResetModel();
  Rebuild();
  endResetModel();
}

void CDescriptionModel::ValuesChanged() {
  if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void CDescriptionModel::Rebuild() {
  columns_.clear();
  links_.clear();
  if (!db_ || view_.table < 0 || view_.table >= db_->TableCount()) {
    view_ = View{};
    return;
  }
  if (view_.relation >= 0) {
    const RelationSchema& rel = db_->Relation(view_.relation);
    const CDataTable& parent = db_->Table(rel.parentTable);
    if (rel.childTable != view_.table || view_.parentRowIndex < 0 || view_.parentRowIndex >= parent.Count())
      view_ = View{view_.table, -1, -1};
  }
  const CDataTable& t = db_->Table(view_.table);
  for (int c = 0; c < t.ColumnCount(); ++c)
    if (!(t.Column(c).flags & kColHidden)) columns_.push_back(c);
  for (int r = 0; r < db_->RelationCount(); ++r)
    if (db_->Relation(r).parentTable == view_.table) links_.push_back(r);
}

CDataTable* CDescriptionModel::Table() const { return db_ && view_.table >= 0 ? &db_->Table(view_.table) : nullptr; }

CDataRow* CDescriptionModel::ParentRow() const {
  if (!db_ || view_.relation < 0) return nullptr;
  return &db_->Table(db_->Relation(view_.relation).parentTable).Row(view_.parentRowIndex);
}

CDataRow* CDescriptionModel::RowAt(int viewRow) const {
  if (viewRow < 0 || viewRow >= rowCount()) return nullptr;
  if (CDataRow* parent = ParentRow()) return parent->ChildRows(view_.relation)[static_cast<size_t>(viewRow)];
  return &Table()->Row(viewRow);
}

int CDescriptionModel::ViewRowOf(const CDataRow* row) const {
  const int n = rowCount();
  for (int r = 0; r < n; ++r)
    if (RowAt(r) == row) return r;
  return -1;
}

int CDescriptionModel::DataColumn(int viewColumn) const {
  if (viewColumn < 0 || viewColumn >= static_cast<int>(columns_.size())) return -1;
  return columns_[static_cast<size_t>(viewColumn)];
}

int CDescriptionModel::LinkRelation(int viewColumn) const {
  const int i = viewColumn - static_cast<int>(columns_.size());
  if (i < 0 || i >= static_cast<int>(links_.size())) return -1;
  return links_[static_cast<size_t>(i)];
}

int CDescriptionModel::ViewColumnOf(int dataColumn) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i] == dataColumn) return static_cast<int>(i);
  return -1;
}

QString CDescriptionModel::CellText(const CDataRow& row, int column) {
  const CDataValue& v = row.Value(column);
  if (v.null) return {};
  return QString::fromStdString(FormatLexical(row.Table().Column(column).type, v));
}

bool CDescriptionModel::ParseCell(const CDataTable& table, int column, const QString& text, CDataValue& out) {
  if (text.isEmpty()) {
    out = CDataValue::Null();
    return true;
  }
  const ColType type = table.Column(column).type;
  if (type == ColType::Text) {
    out = CDataValue::Text(text.toStdString());
    return true;
  }
  return ParseLexical(type, text.trimmed().toStdString(), out);
}

int CDescriptionModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Table()) return 0;
  if (CDataRow* p = ParentRow()) return static_cast<int>(p->ChildRows(view_.relation).size());
  return Table()->Count();
}

int CDescriptionModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(columns_.size() + links_.size());
}

QVariant CDescriptionModel::data(const QModelIndex& index, int role) const {
  CDataRow* row = RowAt(index.row());
  if (!row) return {};
  const int rel = LinkRelation(index.column());
  if (rel >= 0) {
    const int n = static_cast<int>(row->ChildRows(rel).size());
    switch (role) {
      case Qt::DisplayRole:
        return QStringLiteral("%1 (%2)").arg(QLatin1String(db_->Table(db_->Relation(rel).childTable).Name())).arg(n);
      case kSortRole:
        return n;
      case Qt::ForegroundRole:
        return QBrush(Qt::blue);
      case Qt::FontRole: {
        QFont f;
        f.setUnderline(true);
        return f;
      }
      case Qt::ToolTipRole:
        return QStringLiteral("Click to show these rows");
      default:
        return {};
    }
  }
  const int c = DataColumn(index.column());
  if (c < 0) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return CellText(*row, c);
    case kSortRole: {
      const CDataValue& v = row->Value(c);
      if (v.null) return {};
      switch (row->Table().Column(c).type) {
        case ColType::Text:
          return QString::fromStdString(v.s.str()).toLower();
        case ColType::F32:
        case ColType::F64:
          return v.d;
        default:
          return static_cast<qlonglong>(v.i);
      }
    }
    default:
      return {};
  }
}

bool CDescriptionModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  CDataRow* row = RowAt(index.row());
  const int c = DataColumn(index.column());
  if (!row || c < 0) return false;
  CDataValue v;
  if (!ParseCell(row->Table(), c, value.toString(), v)) {
    ShowWarning("\"" + value.toString().toStdString() + "\" is not a valid " +
                    ColTypeName(row->Table().Column(c).type) + " value for column " + row->Table().Column(c).name,
                "LapforgeEdit");
    return false;
  }
  if (v == row->Value(c)) return true;
  if (!edit_ || !edit_(*row, c, v)) return false;
  emit dataChanged(index, index);
  return true;
}

Qt::ItemFlags CDescriptionModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (DataColumn(index.column()) >= 0) f |= Qt::ItemIsEditable;
  return f;
}

namespace {
// "Angle_Start" -> "Angle Start", "FirstSection" -> "First Section"; runs
// of capitals ("TSO") stay together.
QString Readable(const char* name) {
  QString out;
  const QString in = QString::fromLatin1(name);
  for (int i = 0; i < in.size(); ++i) {
    const QChar c = in[i];
    if (c == '_') {
      if (!out.endsWith(' ')) out += ' ';
      continue;
    }
    const bool wordStart = c.isUpper() && i > 0 &&
                           (in[i - 1].isLower() || in[i - 1].isDigit() ||
                            (in[i - 1].isUpper() && i + 1 < in.size() && in[i + 1].isLower()));
    if (wordStart && !out.endsWith(' ')) out += ' ';
    out += c;
  }
  return out;
}
}  // namespace

QVariant CDescriptionModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  // The header reads as words; its tip gives the name the XML file uses.
  const int c = DataColumn(section);
  if (c >= 0)
    return role == Qt::DisplayRole ? Readable(Table()->Column(c).name) : QString::fromLatin1(Table()->Column(c).name);
  const int rel = LinkRelation(section);
  if (rel >= 0)
    return role == Qt::DisplayRole ? Readable(db_->Relation(rel).name) : QString::fromLatin1(db_->Relation(rel).name);
  return {};
}

}  // namespace lapforge
