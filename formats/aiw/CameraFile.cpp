#include "formats/aiw/CameraFile.h"

#include <algorithm>
#include <cmath>

#include "support/ByteReader.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/TextFormat.h"
#include "track/TrackQuery.h"

namespace lapforge {

namespace {

constexpr uint32_t kMagic = 0x5443414D;  // "MACT"
constexpr size_t kRecordSize = 56;
constexpr double kQuarterTurn = 1.570796325;
constexpr double kRadToDeg = 57.29577957855229;
constexpr double kTrackingZone = 300;  // metres; a longer lead-in gives a wide shot

// v raised by L until it is at least floor. Values so far apart that the
// steps would take long (or that L no longer changes) jump most of the way.
double RaiseTo(double v, double floor, double L) {
  if (!(v < floor)) return v;
  const double k = std::ceil((floor - v) / L);
  if (k > 16) v += (k - 1) * L;
  for (int guard = 0; v < floor && guard < 64; ++guard) v += L;
  return std::max(v, floor);
}

size_t CheckedCount(CByteReader& in, const char* what, size_t recordSize) {
  const uint32_t count = in.U32(what);
  if (count > in.Remaining() / recordSize)
    throw CFormatError(StrFormat("%s: %s %u (records of %zu bytes) does not fit the %zu bytes that follow",
                                 in.Source().c_str(), what, count, recordSize, in.Remaining()),
                       in.Pos() - 4);
  return count;
}

// Where a camera stands, where it looks and what it sees, and where and how
// far from it it takes over, in game axes.
struct CamView {
  bool isStatic = false;
  double x = 0, y = 0, z = 0;     // position
  double o1 = 0, o2 = 0, o3 = 0;  // orientation
  double fov = 0;                 // degrees
  double ax = 0, ay = 0, az = 0;  // activation location: the middle of its zone
  double half = 0;                // activation radius: half its zone
};

// The view of camera c (number counts from 1) whose zone runs from a to b.
CamView ViewOf(ITrackQuery& track, const _vars_source_cam& c, int number, double a, double b) {
  CamView v;
  track.GetXYZ(c.distance, c.lateral, v.x, v.y, v.z);
  v.z += c.height;
  v.half = std::fabs(b - a) * 0.5;
  track.GetXYZ(a + v.half, 0, v.ax, v.ay, v.az);
  const double dA = std::hypot(v.ax - v.x, v.ay - v.y);
  double sx = 0, sy = 0, sz = 0;
  track.GetXYZ(static_cast<double>(c.distance) + c.zoneStart, 0, sx, sy, sz);
  const double dS = std::hypot(sx - v.x, sy - v.y);
  v.isStatic = c.type == 1;
  if (v.isStatic) {
    v.o1 = -c.angle[1];
    v.o2 = c.angle[0] - kQuarterTurn;
    v.o3 = c.angle[2];
    v.fov = c.fov * kRadToDeg;
  } else {
    // Looking at the start of the zone; a camera straight above it (or one
    // higher above it than it is away) looks straight down rather than
    // writing a value that is not a number.
    const double sine = dS > 0 ? std::clamp((sz - v.z) / dS, -1.0, 1.0) : (sz < v.z ? -1.0 : 0.0);
    v.o1 = std::asin(sine);
    v.o2 = std::atan2(sy - v.y, sx - v.x) - kQuarterTurn;
    v.o3 = 0;
    v.fov = 2 * std::atan2((2 / static_cast<double>(c.zoom)) * 0.5, dA) * kRadToDeg;
  }
  const double values[] = {v.x, v.y, v.z, v.o1, v.o2, v.o3, v.fov, v.ax, v.ay, v.az, v.half};
  for (double value : values)
    if (!std::isfinite(value))
      ThrowInvalidArgument(
          StrFormat("Camera %d at %.3f m gives a value that is not a number", number, static_cast<double>(c.distance)));
  return v;
}

void WriteCamera(CTextWriter& out, const _vars_source_cam& c, int number, const CamView& v) {
  if (v.isStatic)
    out.LineF("StaticCam=STATIC%3.3d", number);
  else
    out.LineF("TrackingCam=TRACKING%3.3d", number);
  out.Line("{");
  out.LineF("  Position=(%4.4f, %4.4f, %4.4f)", -v.x, -v.z, -v.y);
  out.LineF("  Orientation=(%4.4f, %4.4f, %4.4f)", v.o1, v.o2, v.o3);
  out.LineF("  Fov=(%4.4f, %4.4f)", v.fov, v.fov * 0.75);
  out.Line("  Clear=TRUE");
  out.Line("  Color=(0, 0, 0)");
  out.Line("  ClipPlanes=(1.000000, 1000.000000)");
  out.Line("  LODMultiplier=(5.000000)");
  out.Line("  Size=(1.000000, 1.000000)");
  out.Line("  Center=(0.500000, 0.500000)");
  out.Line("  MipmapLODBias=(0.000000)");
  if (v.isStatic)
    out.Line("  Flags1=(4)");
  else
    out.Line(std::fabs(c.zoneStart) > kTrackingZone ? "  Flags1=(0)" : "  Flags1=(1)");
  out.Line("  Flags2=(0)");
  out.LineF("  ActivationLocation=(%4.4f, %4.4f, %4.4f)", -v.ax, -v.az, -v.ay);
  out.LineF("  ActivationRadius=(%4.4f)", v.half);
  if (!v.isStatic) {
    out.Line("  TrackingRate=(0.000000)");
    out.Line("  MovementRate=(0.000000)");
  }
  out.Line("}");
}

}  // namespace

std::vector<_vars_source_cam> CZWriteCam::ReadCameras(std::span<const uint8_t> bytes, const std::string& source) {
  CByteReader in(bytes, source);
  const uint32_t magic = in.U32("magic");
  if (magic != kMagic)
    throw CFormatError(StrFormat("%s: not a camera list (the file does not start with \"MACT\")", source.c_str()), 0);
  const uint32_t version = in.U32("version");
  in.U32("header word");
  // Version 2 records carry one more byte each.
  const size_t recordSize = kRecordSize + (version == 2 ? 1 : 0);
  const size_t count = CheckedCount(in, "camera count", recordSize);
  std::vector<_vars_source_cam> cams(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t base = in.Pos();
    _vars_source_cam& c = cams[i];
    c.distance = in.At<float>(base + 0, "camera distance");
    c.lateral = in.At<float>(base + 4, "camera lateral");
    c.height = in.At<float>(base + 8, "camera height");
    c.zoneStart = in.At<float>(base + 12, "activation zone");
    c.type = in.At<int32_t>(base + 16, "camera type");
    c.zoom = in.At<float>(base + 24, "zoom");
    for (int a = 0; a < 3; ++a) c.angle[a] = in.At<float>(base + 32 + 4 * a, "orientation");
    c.fov = in.At<float>(base + 44, "field of view");
    in.Skip(recordSize, "camera record");
    const bool finite = std::isfinite(c.distance) && std::isfinite(c.lateral) && std::isfinite(c.height) &&
                        std::isfinite(c.zoneStart) &&
                        (c.type == 1 ? std::isfinite(c.angle[0]) && std::isfinite(c.angle[1]) &&
                                           std::isfinite(c.angle[2]) && std::isfinite(c.fov)
                                     : std::isfinite(c.zoom));
    if (!finite)
      throw CFormatError(StrFormat("%s: camera %zu has a value that is not a number", source.c_str(), i + 1), base);
    // A camera this far beside or above the track is a damaged record, and
    // its position would be of no use to the game.
    if (std::fabs(c.lateral) > ITrackQuery::kFarOffset || std::fabs(c.height) > ITrackQuery::kFarOffset)
      throw CFormatError(StrFormat("%s: camera %zu stands %g m beside the track and %g m above it; a camera more "
                                   "than %g km away is a damaged record",
                                   source.c_str(), i + 1, static_cast<double>(c.lateral), static_cast<double>(c.height),
                                   ITrackQuery::kFarOffset / 1000),
                         base);
  }
  // A second list of the same records follows; it has no use here, but it
  // must be whole.
  const size_t second = CheckedCount(in, "second camera count", recordSize);
  in.Skip(second * recordSize, "second camera list");
  return cams;
}

std::string CZWriteCam::BuildCam(ITrackQuery& track, const std::vector<_vars_source_cam>& cams) {
  const double L = track.GetTrackLength();
  if (!(L > 0) || !std::isfinite(L))
    ThrowInvalidArgument(StrFormat("The track is %.3f m long; cameras cannot be placed on it", L));
  const size_t n = cams.size();
  // Each camera takes over at its switch distance; the last hands back to
  // the first.
  std::vector<double> sw(n + 1);
  for (size_t i = 0; i < n; ++i)
    sw[i] = RaiseTo(static_cast<double>(cams[i].distance) + cams[i].zoneStart, 0, L);
  sw[n] = n ? sw[0] : 0;

  CTextWriter out;
  out.Reserve(n * 600);
  for (size_t i = 0; i < n; ++i) {
    const int number = static_cast<int>(i + 1);
    const double a = sw[i];
    WriteCamera(out, cams[i], number, ViewOf(track, cams[i], number, a, RaiseTo(sw[i + 1], a, L)));
  }
  return out.Take();
}

Result CZWriteCam::CamToCam(ITrackQuery& track, const std::string& sourcePath, const std::string& outPath) {
  std::vector<uint8_t> bytes;
  if (Result read = ReadWholeFile(sourcePath, bytes); !read) return read;
  std::vector<_vars_source_cam> cams;
  try {
    cams = ReadCameras(bytes, sourcePath);
  } catch (const CFormatError& e) {
    return Result::Fail(Status::Damaged, e.what(), sourcePath, e.Offset());
  }
  if (cams.empty())
    return Result::Fail(Status::WrongKind, sourcePath + ": the camera list holds no cameras; nothing written",
                        sourcePath);
  const std::string text = BuildCam(track, cams);
  return ReplaceFile(outPath, text);
}

}  // namespace lapforge
