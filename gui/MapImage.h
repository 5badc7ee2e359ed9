// The PNG form of the track map, painted with Qt's painter on an image in
// memory (no window, no display needed). Kept out of the core so that the
// core builds without Qt.
#pragma once

#include <string>
#include <vector>

#include "support/Result.h"

class QPainter;

namespace lapforge {

class CTrackMap;
struct MapShape;

// Paints shapes in order with the painter as it stands (its transform maps
// picture pixels onto the device). The PNG writer and the editor's map view
// both draw through this.
void PaintMapShapes(QPainter& painter, const std::vector<MapShape>& shapes);

// Paints the map's shapes and writes them as a PNG file (temp file and
// rename). Fails when the image cannot be made or written.
Result WriteMapPng(const CTrackMap& map, const std::string& path);

}  // namespace lapforge
