// The editor's top view of the track: the map of the edited description,
// laid out by CTrackMap and painted by the map painter, scaled to the
// widget, with one section marked.
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
  int Highlight() const { return highlight_; }
  bool HasTrack() const { return built_; }
  const QString& Notice() const { return notice_; }
  int Builds() const { return builds_; }

  // Paints the map (and the marked section) fitted into area, keeping its
  // proportions; the notice when there is no track.
  void Paint(QPainter& painter, const QRectF& area) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CTrackMap map_;
  bool built_ = false;
  int highlight_ = -1;
  int builds_ = 0;
  QString notice_;
};

}  // namespace lapforge
