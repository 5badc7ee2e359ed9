#include "gui/MapImage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "roads/TrackMap.h"
#include "support/FileIO.h"

namespace lapforge {

namespace {

QColor ToQt(MapColour c) { return QColor(c.r, c.g, c.b, c.a); }

QPolygonF Points(const MapShape& s) {
  QPolygonF p;
  p.reserve(static_cast<qsizetype>(s.xy.size() / 2));
  for (size_t i = 0; i + 1 < s.xy.size(); i += 2) p.append(QPointF(s.xy[i], s.xy[i + 1]));
  return p;
}

// Qt's notes about the environment (no runtime folder, no fonts
// configured) would reach the user's terminal; only failures are passed on.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Text needs the font database, which needs an application object; the
// offscreen platform makes one without a display.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  qInstallMessageHandler(QuietHandler);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "lapforge";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

void PaintMapShapes(QPainter& painter, const std::vector<MapShape>& shapes) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  for (const MapShape& s : shapes) {
    switch (s.kind) {
      case MapShape::Kind::Polygon:
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQt(s.fill));
        painter.drawPolygon(Points(s));
        break;
      case MapShape::Kind::Polyline: {
        QPen pen(ToQt(s.stroke), s.size, s.dashed ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(Points(s));
        break;
      }
      case MapShape::Kind::Marker:
        if (s.xy.size() < 2) break;
        painter.setPen(QPen(ToQt(s.stroke), 1));
        painter.setBrush(ToQt(s.fill));
        painter.drawEllipse(QPointF(s.xy[0], s.xy[1]), s.size, s.size);
        break;
      case MapShape::Kind::Text: {
        if (s.xy.size() < 2) break;
        QFont font("sans-serif");
        font.setPixelSize(static_cast<int>(s.size));
        painter.setFont(font);
        painter.setPen(ToQt(s.fill));
        painter.drawText(QPointF(s.xy[0], s.xy[1]), QString::fromStdString(s.label));
        break;
      }
    }
  }
}

Result WriteMapPng(const CTrackMap& map, const std::string& path) {
  EnsureGuiApplication();
  QImage image(map.Width(), map.Height(), QImage::Format_ARGB32);
  if (image.isNull()) return Result::Fail(Status::Failed, "the picture is too large to make");
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PaintMapShapes(painter, map.Shapes());
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return Result::Fail(Status::Failed, "the picture could not be encoded as PNG");
  return ReplaceFile(path, bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace lapforge
