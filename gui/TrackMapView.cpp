#include "gui/TrackMapView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <exception>

#include "description/TrkDsc.h"
#include "gui/MapImage.h"
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
  if (db) {
    CQuietUI quiet;
    try {
      const CScopedUI scope(&quiet);
      built_ = map_.Build(*db, kLayoutWidth);
    } catch (const std::exception& e) {
      quiet.first = ErrorText(e);
      built_ = false;
    }
    if (!built_ && !quiet.first.empty()) {
      QString why = QString::fromStdString(quiet.first).section(QLatin1Char('\n'), 0, 0).trimmed();
      if (why.size() > 120) why = why.left(117) + QStringLiteral("...");
      notice_ = QStringLiteral("No track to show: %1").arg(why);
    }
  }
  update();
}

void CTrackMapView::SetHighlight(int section) {
  section = std::max(section, -1);
  if (section == highlight_) return;
  highlight_ = section;
  update();
}

void CTrackMapView::Paint(QPainter& painter, const QRectF& area) const {
  if (!built_ || map_.Width() <= 0 || map_.Height() <= 0) {
    painter.save();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, notice_);
    painter.restore();
    return;
  }
  const double scale = std::min(area.width() / map_.Width(), area.height() / map_.Height());
  if (!(scale > 0)) return;
  painter.save();
  painter.translate(area.left() + (area.width() - map_.Width() * scale) / 2,
                    area.top() + (area.height() - map_.Height() * scale) / 2);
  painter.scale(scale, scale);
  PaintMapShapes(painter, map_.Shapes());
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
}

void CTrackMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  Paint(painter, QRectF(rect()));
}

}  // namespace lapforge
