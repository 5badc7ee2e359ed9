// The editor's top view of the track: the map of the edited description,
// laid out by CTrackMap and painted by the map painter, fitted to the
// widget, with one section marked. The wheel zooms about the pointer, a drag
// pans, a double-click fits the track again, and a click on a section says
// which one. Labels keep a readable size at any zoom; one that would cover
// another is left out.
#pragma once

#include <QString>
#include <QWidget>

#include "roads/TrackMap.h"


class QPainter;

namespace lapforge {
class TrkDsc;

class CTrackMapView : public QWidget {
  Q_OBJECT
 public:
  explicit CTrackMapView(QWidget* parent = nullptr);

  // Lays the map of the description out again; nullptr, or a description
  // that makes no track, leaves an empty map with a short notice. Messages
  // of the build are kept for the notice, never shown.
  void Rebuild(const TrkDsc* db);
  // The section marked, by its position in the Section table; -1 for none.
  void SetHighlight(int section);
  // Draws the computed racing line, coloured by speed, from the next
  // Rebuild on. Where the line cannot be computed the map is drawn without
  // it and LineNotice() says why.
  void SetShowLine(bool show) { showLine_ = show; }
  bool ShowLine() const { return showLine_; }
  const QString& LineNotice() const { return lineNotice_; }
  const CTrackMap& Map() const { return map_; }
  int Highlight() const { return highlight_; }
  bool HasTrack() const { return built_; }
  const QString& Notice() const { return notice_; }
  int Builds() const { return builds_; }

  // Paints the map (and the marked section) fitted into area, keeping its
  // proportions, then zoomed and panned as the view is; the notice when
  // there is no track.
  void Paint(QPainter& painter, const QRectF& area) const;

  // The zoom over the fitted map (1 fits) and the pan in widget pixels.
  double Zoom() const { return zoom_; }
  // Zooms by factor keeping the map point under at (widget pixels) in place.
  void ZoomAt(const QPointF& at, double factor);
  void Fit();
  // The section (position in the Section table) drawn at a widget point; -1
  // for none.
  int SectionAt(const QPointF& at) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void SectionClicked(int section);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // Map picture pixels to area pixels: scale, then offset.
  struct Placement {
    double scale = 0;
    QPointF offset;
  };
  Placement Place(const QRectF& area) const;
  static constexpr double kMinZoom = 0.5;
  static constexpr double kMaxZoom = 200;
  double zoom_ = 1;
  QPointF pan_;
  QPointF pressAt_;
  QPointF lastAt_;
  bool pressed_ = false;
  bool dragged_ = false;

  CTrackMap map_;
  bool built_ = false;
  int highlight_ = -1;
  int builds_ = 0;
  QString notice_;
  bool showLine_ = false;
  QString lineNotice_;
};

}  // namespace lapforge
