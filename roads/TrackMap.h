// The top view of a track: the track model built from a description as the
// exports build it, drawn as a list of simple shapes in picture
// coordinates (pixels, y down): surfaces filled by grip kind, walls, the
// start line, the pit lane, section boundaries with their indices, labelled
// markers for details, trackside and scenery objects, a scale bar and a
// north arrow. The SVG form is written here; any other painter (the PNG
// renderer, a window) draws the same shapes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lapforge {

class TrkDsc;
struct ComputedLine;
struct LineOptions;

struct MapColour {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct MapShape {
  enum class Kind {
    Polygon,   // filled, closed
    Polyline,  // stroked, open
    Marker,    // a dot of `size` pixels radius at points[0]
    Text,      // `label` with its baseline starting at points[0]
  };
  Kind kind = Kind::Polyline;
  // What the shape shows: "surface", "edge" (outer band edges), "outline"
  // (the course: the reference line the track is laid along), "wall", "start", "pit",
  // "boundary", "section", "detail", "tso", "scenery", "label", "scale",
  // "north", "background", "line" (the computed racing line, coloured by
  // speed, and its legend). The SVG carries it as the element's class.
  std::string role;
  std::vector<double> xy;  // x0, y0, x1, y1, ... in pixels
  MapColour fill, stroke;
  double size = 1;  // stroke width, marker radius or font size, pixels
  bool dashed = false;
  std::string label;
};

class CTrackMap {
 public:
  // Builds the track model and lays the picture out width pixels wide (the
  // height follows the track's proportions). With line, the racing line
  // computed for the track with those options is drawn over it, coloured by
  // speed, with a legend. False when the description makes no track or the
  // line cannot be computed (the message has been shown).
  bool Build(const TrkDsc& db, int width, const LineOptions* line = nullptr);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<MapShape>& Shapes() const { return shapes_; }
  // Metres per pixel of the picture.
  double MetresPerPixel() const { return 1.0 / scale_; }

  // The ground a section covers (its bands from the outer right edge to the
  // outer left edge) as a closed outline in picture pixels, for a view that
  // marks one section. Sections are named by their position in the Section
  // table; empty for a position that makes no part of the track.
  const std::vector<double>& SectionArea(int section) const;
  int SectionCount() const { return static_cast<int>(sectionAreas_.size()); }

  // The picture as an SVG document.
  std::string ToSvg() const;

 private:
  // The scale bar in the bottom left corner and the north arrow in the top
  // right one, laid out in pixels once the scale is known.
  void AddScaleBar(double margin);
  void AddNorthArrow(const TrkDsc& db, double margin);
  void AddLineLegend(const ComputedLine& computed);

  int width_ = 0, height_ = 0;
  double scale_ = 1;  // pixels per metre
  std::vector<MapShape> shapes_;
  std::vector<std::vector<double>> sectionAreas_;
};

}  // namespace lapforge
