#include "gui/TrackMapView.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPolygonF>
#include <QWheelEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <exception>

#include "description/TrkDsc.h"
#include "gui/MapImage.h"
#include "roads/ComputedLine.h"
#include "support/Errors.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

// Picture width the map is laid out at; the view scales it.
constexpr int kLayoutWidth = 800;

// Keeps what the build would show instead of showing it, and declines its
// questions.
class CQuietUI : public CUserInterface {
 public:
  void Message(const std::string& text, const std::string&) override {
    if (first.empty()) first = text;
  }
  bool YesNo(const std::string&, const std::string&) override { return false; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::Cancel; }
  std::string first;
};

class CScopedUI {
 public:
  explicit CScopedUI(CUserInterface* ui) : previous_(SetUserInterface(ui)) {}
  ~CScopedUI() { SetUserInterface(previous_); }
  CScopedUI(const CScopedUI&) = delete;
  CScopedUI& operator=(const CScopedUI&) = delete;

 private:
  CUserInterface* previous_;
};

// The first line of a message, shortened to fit a notice.
QString FirstLine(const std::string& text) {
  QString why = QString::fromStdString(text).section(QLatin1Char('\n'), 0, 0).trimmed();
  if (why.size() > 120) why = why.left(117) + QStringLiteral("...");
  return why;
}

}  // namespace

CTrackMapView::CTrackMapView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("trackMap"));
  notice_ = QStringLiteral("No track to show.");
}

QSize CTrackMapView::sizeHint() const { return {320, 400}; }
QSize CTrackMapView::minimumSizeHint() const { return {120, 120}; }

void CTrackMapView::Rebuild(const TrkDsc* db) {
  ++builds_;
  built_ = false;
  notice_ = QStringLiteral("No track to show.");
  lineNotice_.clear();
  if (db) {
    CQuietUI quiet;
    try {
      const CScopedUI scope(&quiet);
      const LineOptions line;
      built_ = map_.Build(*db, kLayoutWidth, showLine_ ? &line : nullptr);
      if (!built_ && showLine_) {
        // The line failed, or the track did: the map again without the line
        // tells which, and keeps the track in view.
        lineNotice_ = FirstLine(quiet.first);
        quiet.first.clear();
        built_ = map_.Build(*db, kLayoutWidth);
        if (!built_) lineNotice_.clear();
      }
    } catch (const std::exception& e) {
      quiet.first = ErrorText(e);
      built_ = false;
    }
    if (!built_ && !quiet.first.empty()) notice_ = QStringLiteral("No track to show: %1").arg(FirstLine(quiet.first));
  }
  update();
}

void CTrackMapView::SetHighlight(int section) {
  section = std::max(section, -1);
  if (section == highlight_) return;
  highlight_ = section;
  update();
}

CTrackMapView::Placement CTrackMapView::Place(const QRectF& area) const {
  Placement p;
  if (!built_ || map_.Width() <= 0 || map_.Height() <= 0) return p;
  const double fit = std::min(area.width() / map_.Width(), area.height() / map_.Height());
  p.scale = fit * zoom_;
  p.offset = QPointF(area.left() + (area.width() - map_.Width() * p.scale) / 2,
                     area.top() + (area.height() - map_.Height() * p.scale) / 2) +
             pan_;
  return p;
}

void CTrackMapView::Paint(QPainter& painter, const QRectF& area) const {
  const Placement place = Place(area);
  if (!(place.scale > 0)) {
    painter.save();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, notice_);
    painter.restore();
    return;
  }
  const double scale = place.scale;
  painter.save();
  painter.setClipRect(area);
  painter.translate(place.offset);
  painter.scale(scale, scale);
  // Shapes in picture pixels; the labels afterwards in screen pixels.
  std::vector<MapShape> shapes;
  std::vector<const MapShape*> labels;
  shapes.reserve(map_.Shapes().size());
  for (const MapShape& s : map_.Shapes()) {
    if (s.kind == MapShape::Kind::Text)
      labels.push_back(&s);
    else
      shapes.push_back(s);
  }
  PaintMapShapes(painter, shapes);
  const std::vector<double>& ground = map_.SectionArea(highlight_);
  if (ground.size() >= 6) {
    std::vector<MapShape> mark(2);
    mark[0].kind = MapShape::Kind::Polygon;
    mark[0].role = "highlight";
    mark[0].fill = MapColour{255, 200, 0, 140};
    mark[0].xy = ground;
    mark[1].kind = MapShape::Kind::Polyline;
    mark[1].role = "highlight";
    mark[1].stroke = MapColour{230, 90, 0, 255};
    mark[1].size = std::max(3.0, 2.0 / scale);
    mark[1].xy = ground;
    mark[1].xy.push_back(ground[0]);
    mark[1].xy.push_back(ground[1]);
    PaintMapShapes(painter, mark);
  }
  painter.restore();

  // A label grows with the zoom but stays between 9 and 16 pixels; one that
  // would overlap a label already drawn is left out.
  painter.save();
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  std::vector<QRectF> taken;
  for (const MapShape* s : labels) {
    if (s->xy.size() < 2 || s->label.empty()) continue;
    QFont font(QStringLiteral("sans-serif"));
    font.setPixelSize(static_cast<int>(std::clamp(s->size * scale, 9.0, 16.0)));
    const QFontMetricsF metrics(font);
    const QString text = QString::fromStdString(s->label);
    const QPointF at = place.offset + QPointF(s->xy[0], s->xy[1]) * scale;
    const QRectF box(at.x(), at.y() - metrics.ascent(), metrics.horizontalAdvance(text), metrics.height());
    if (!area.intersects(box)) continue;
    bool covered = false;
    for (const QRectF& r : taken) covered = covered || r.intersects(box);
    if (covered) continue;
    taken.push_back(box);
    painter.setFont(font);
    painter.setPen(QColor(s->fill.r, s->fill.g, s->fill.b, s->fill.a));
    painter.drawText(at, text);
  }
  if (!lineNotice_.isEmpty()) {
    painter.setFont(QFont(QStringLiteral("sans-serif")));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area.adjusted(6, 6, -6, -6), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QStringLiteral("No racing line: %1").arg(lineNotice_));
  }
  painter.restore();
}

void CTrackMapView::ZoomAt(const QPointF& at, double factor) {
  const Placement before = Place(QRectF(rect()));
  if (!(before.scale > 0)) return;
  const double zoom = std::clamp(zoom_ * factor, kMinZoom, kMaxZoom);
  const QPointF mapPoint = (at - before.offset) / before.scale;
  zoom_ = zoom;
  const Placement after = Place(QRectF(rect()));
  pan_ += at - (after.offset + mapPoint * after.scale);
  update();
}

void CTrackMapView::Fit() {
  zoom_ = 1;
  pan_ = QPointF();
  update();
}

int CTrackMapView::SectionAt(const QPointF& at) const {
  const Placement place = Place(QRectF(rect()));
  if (!(place.scale > 0)) return -1;
  const QPointF p = (at - place.offset) / place.scale;
  for (int i = 0; i < map_.SectionCount(); ++i) {
    const std::vector<double>& ground = map_.SectionArea(i);
    if (ground.size() < 6) continue;
    QPolygonF polygon;
    for (size_t k = 0; k + 1 < ground.size(); k += 2) polygon << QPointF(ground[k], ground[k + 1]);
    if (polygon.containsPoint(p, Qt::OddEvenFill)) return i;
  }
  return -1;
}

void CTrackMapView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) ZoomAt(event->position(), std::pow(1.25, steps));
  event->accept();
}

void CTrackMapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = true;
  dragged_ = false;
  pressAt_ = lastAt_ = event->position();
}

void CTrackMapView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return QWidget::mouseMoveEvent(event);
  // A few pixels of wobble are still a click.
  if (!dragged_ && (event->position() - pressAt_).manhattanLength() < 4) return;
  dragged_ = true;
  setCursor(Qt::ClosedHandCursor);
  pan_ += event->position() - lastAt_;
  lastAt_ = event->position();
  update();
}

void CTrackMapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  pressed_ = false;
  unsetCursor();
  if (dragged_) return;
  const int section = SectionAt(event->position());
  if (section >= 0) emit SectionClicked(section);
}

void CTrackMapView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Fit();
}

void CTrackMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  Paint(painter, QRectF(rect()));
}

}  // namespace lapforge
