// The descriptor records of the object record file, one class per record
// kind, chosen by class name when a file is read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ptf/RecordFile.h"

namespace lapforge {

class CGlMaterial;

#define N5_RTNAME(X) \
  const char* GetRtName() const override { return "class " #X; }

struct _vars_track_bump_defs {
  int32_t index = 0;
  std::array<uint8_t, 16> first{};
  std::array<uint8_t, 16> second{};
};
struct _dxyz {
  double x = 0, y = 0, z = 0;
};
struct _dtu {
  double u = 0, v = 0;
};
// An explicit texture coordinate of a band or wall face: the surface it
// belongs to (0 right face or band surface, 1 top, 2 left face) and (U, V).
struct _vars_track_tex_coord {
  uint8_t surface = 0;
  float u = 0, v = 0;
};

class CN5ObjFs;
class CN5ObjWs;
class CN5ObjXs;

// A kind this program reads but does not model: its payload is bytes with
// at most one child record among them. The bytes before and after the
// child are written back from the file image unchanged and the child as a
// record, so that a read tree is written back faithfully. One built in
// memory has no bytes and writes no payload.
class CN5ObjRaw : public CN5Obj {
 public:
  void ReWriteData() override;

 protected:
  // The payload as read: from payloadStart, a child record at [childAt,
  // childEnd) when withChild, and the end at payloadEnd (file offsets).
  void KeepPayload(size_t payloadStart, size_t childAt, size_t childEnd, size_t payloadEnd, bool withChild);
  size_t headSize = 0, tailAt = 0, tailSize = 0;  // offsets from the payload start
  bool hasChild = false;
};

class CN5ObjTk : public CN5Obj {
 public:
  CN5ObjTk();
  N5_RTNAME(CN5ObjTk)
  int VersionFromHeader() const override { return headerValue == 8 ? 7 : 0; }
  int32_t WrittenHeaderValue() const override { return FormatVersion() == 7 ? 8 : 6; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  int32_t segmentCount = 0;
  uint8_t nightFlag = 0;
  double lightValues[3] = {0.2, 0.2, 0.2};
  float northSouthAngle = 4.0f;
  std::vector<_vars_track_bump_defs> bumpDefs;
  uint8_t summaryByte = 0;
  double summaryValues[21];
  uint8_t summaryTail[4] = {0, 0, 0, 0};
  std::vector<CN5Obj*> details, tsoRefs, segments;
};

class CN5ObjSg : public CN5Obj {
 public:
  CN5ObjSg();
  N5_RTNAME(CN5ObjSg)
  int VersionFromHeader() const override { return headerValue == 2 ? 7 : 0; }
  int32_t WrittenHeaderValue() const override { return FormatVersion() == 7 ? 2 : 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  int32_t segType = 0;
  double startX = 0, startY = 0, startAngle = 0, endX = 0, endY = 0, endAngle = 0;
  uint8_t reserved = 0;
  uint8_t openFlags = 0;
  int index = -1;
  std::vector<CN5Obj*> bankLines, bands, walls;
  std::vector<std::array<uint8_t, 12>> bumpRefs;
  std::vector<std::array<uint8_t, 16>> bumpScales;

  // Geometry of the segment (track/N5Segment.cpp). Everything below is
  // derived in memory and not stored in the file.
  // End point and heading from the start: type 1 arc, else straight; turn in
  // radians, positive to the left. An arc without turn is rejected.
  void CalcEnd(int type, double len, double turn);
  // Length, sweep, radius and arc centre from start and end; fills startLong
  // and endLong from startDistance and the bank line cubics. Returns the length.
  double CalcLength(double startDistance);
  // Point at distance d from the segment start and lateral offset lat
  // (positive to the left).
  void GetXYZ(double d, double lat, float& x, float& y, float& z) const;
  void GetXYZ(double d, double lat, double& x, double& y, double& z) const;
  // The same point in plan without the rounding to float that the points
  // above take (the world coordinates of the game files are floats): for
  // geometry that differences over a metre or less, such as curvature.
  void GetPlanXY(double d, double lat, double& x, double& y) const;
  // Height of the bank lines at (d, lat); 0 without bank lines.
  double GetHeight(double d, double lat) const;
  // Cross slope at (d, lat): height change per metre to the left.
  float GetBanking(double d, double lat) const;
  // On an arc with flag set: the straight chord from (0, lat0) to (length,
  // lat1); otherwise the ordinary point.
  void GetStraightenedXYZ(double d, double lat, int flag, double lat0, double lat1, double& x, double& y,
                          double& z) const;
  // Track position of a world point on this segment's reference line:
  // 1 with long, lat and height above the surface when the point lies
  // beside the segment, else 0.
  int GetLatPos(double x, double y, double z, double& lng, double& lat, double& dz) const;
  // Band, wall or bank line by index; null at or beyond the count.
  CN5ObjFs* GetFsObj(int i) const;
  CN5ObjWs* GetWsObj(int i) const;
  CN5ObjXs* GetXsObj(int i) const;
  int NoTractions() const { return static_cast<int>(bands.size()); }
  int NoWalls() const { return static_cast<int>(walls.size()); }
  int NoBanks() const { return static_cast<int>(bankLines.size()); }
  // Number of faults in the segment's values (non-finite values, an arc
  // without turn, a non-positive length); each is described in messages.
  int CheckForErrors(std::vector<std::string>* messages = nullptr) const;

  double deltaX = 0, deltaY = 0;
  double endLong = 0, startLong = 0, length = 0;
  double sweep = 0;
  double centreX = 0, centreY = 0;
  double radius = 0;
  double longRes = 0, arcRes = 0, latRes = 0;  // 0 = the track's resolution
};

class CN5ObjXs : public CN5Obj {
 public:
  CN5ObjXs();
  N5_RTNAME(CN5ObjXs)
  int VersionFromHeader() const override { return headerValue == 3 ? 6 : 0; }
  int32_t WrittenHeaderValue() const override { return FormatVersion() >= 6 ? 3 : 2; }
  size_t ReadLongHdr(CByteReader& r) override;
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  double latStart = 0, heightStart = 0, gradStart = 0, latEnd = 0, heightEnd = 0, gradEnd = 0;
  uint8_t flag = 0;
  std::vector<uint8_t> sideBytes;
  std::vector<float> sideFloats;

  // Cubic coefficients of the height along a segment of length len (the
  // radius is not used): height(t) = a t^3 + b t^2 + c t + heightStart.
  void CalcFactors(double len, double radius);
  double GetHeight(double t) const { return ((cubicA * t + cubicB) * t + cubicC) * t + heightStart; }
  double GetLat(double t) const { return (1 - t) * latStart + t * latEnd; }
  double cubicA = 0, cubicB = 0, cubicC = 0;
};

class CN5ObjFs : public CN5Obj {
 public:
  CN5ObjFs();
  N5_RTNAME(CN5ObjFs)
  int VersionFromHeader() const override { return headerValue == 5 ? 6 : 0; }
  int32_t WrittenHeaderValue() const override { return FormatVersion() >= 6 ? 5 : 4; }
  size_t ReadLongHdr(CByteReader& r) override;
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  double latStart = 0, latEnd = 0;
  uint8_t straighten = 0;
  int32_t bandKind = 0, grip = 0, textureIndex = 0;
  double widthStart = 0, widthEnd = 0;
  CN5Obj* appearance = nullptr;
  CN5Obj* textureCoords = nullptr;
  std::string textureName;
  // Built in memory: the texture entry's contour flag and the explicit
  // texture coordinates given for the band.
  int32_t contourFlag = 1;
  std::vector<_vars_track_tex_coord> texCoords;
};

class CN5ObjWs : public CN5Obj {
 public:
  CN5ObjWs();
  N5_RTNAME(CN5ObjWs)
  int VersionFromHeader() const override { return headerValue == 7 ? 7 : headerValue == 6 ? 6 : 0; }
  int32_t WrittenHeaderValue() const override {
    int v = FormatVersion();
    return v == 7 ? 7 : v == 6 ? 6 : 5;
  }
  size_t ReadLongHdr(CByteReader& r) override;
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  double latStart = 0, latEnd = 0;
  uint8_t straighten = 0;
  int32_t tiedValue = 3;
  double heightStart = 0, heightEnd = 0, widthStart = 0, widthEnd = 0, boundWidthStart = 0, boundWidthEnd = 0;
  int32_t extraValue = 0;
  int32_t wallType = 0;
  int32_t groupCount = 1;
  int32_t extensionFlag = 1;
  std::array<uint8_t, 40> extension{};
  struct _ApTuPair {
    CN5Obj* appearance = nullptr;
    CN5Obj* textureCoords = nullptr;
  };
  std::vector<_ApTuPair> faces;
  std::vector<std::string> textureNames;

  // Point of the wall at (d, lat + offset) on its segment, straightened
  // along the chord when the wall asks for it (track/N5Segment.cpp).
  void GetXYZ(const CN5ObjSg& seg, double d, double lat, double offset, double& x, double& y, double& z) const;
  // Built in memory from the wall texture entry.
  int32_t raceType = 0;
  int32_t vertical = 0;
  int32_t catchFence = 0;
  int32_t repeatModulus = 1000;
};

class CN5ObjRo : public CN5Obj {
 public:
  CN5ObjRo();
  N5_RTNAME(CN5ObjRo)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  double placement[6] = {0, 0, 0, 0, 0, 0};  // X, Y, Z, heading, pitch, roll
};

class CN5ObjTo : public CN5Obj {
 public:
  CN5ObjTo();
  N5_RTNAME(CN5ObjTo)
  int VersionFromHeader() const override { return headerValue == 3 ? 7 : 0; }
  int32_t WrittenHeaderValue() const override { return FormatVersion() == 7 ? 3 : 2; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::string fileName;
  std::string secondName = "(_TSO)";
  uint8_t setFlag = 1;
};

class CN5ObjTd : public CN5Obj {
 public:
  CN5ObjTd();
  N5_RTNAME(CN5ObjTd)
  int32_t WrittenHeaderValue() const override { return 0; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  // Where the block holds doubles: along, across, width, length, heading,
  // then the texture values (u twice, v twice).
  static constexpr size_t kDoubleOffsets[] = {0, 8, 16, 24, 32, 52, 60, 80, 88};
  std::array<uint8_t, 112> block{};
};

class CN5ObjSw : public CN5Obj {
 public:
  CN5ObjSw();
  N5_RTNAME(CN5ObjSw)
  size_t ReadLongHdr(CByteReader& r) override;
  void WriteLongHdr() override;
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::array<uint8_t, 56> block{};
  std::string switchName;
  uint8_t extraByte = 0;
  std::array<uint8_t, 12> block2{};
  std::vector<double> values;
};

class CN5ObjLw : public CN5Obj {
 public:
  CN5ObjLw();
  N5_RTNAME(CN5ObjLw)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::array<uint8_t, 85> block{};
  std::vector<double> values;
};

class CN5ObjSh : public CN5Obj {
 public:
  CN5ObjSh();
  N5_RTNAME(CN5ObjSh)
  size_t ReadLongHdr(CByteReader& r) override;
  void WriteLongHdr() override {}
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::string shapeName;
};

class CN5ObjGp : public CN5Obj {
 public:
  CN5ObjGp();
  N5_RTNAME(CN5ObjGp)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
};

class CN5ObjEm : public CN5Obj {
 public:
  CN5ObjEm();
  N5_RTNAME(CN5ObjEm)
  size_t ReadLongHdr(CByteReader& r) override;
  void WriteLongHdr() override {}
  size_t ReadData(CByteReader&) override { return 0; }
  void ReWriteData() override;
};

class CN5ObjGm : public CN5Obj {
 public:
  CN5ObjGm();
  N5_RTNAME(CN5ObjGm)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  // Appends the triangles of obj and the primitives below it to out, each
  // record once.
  static void CollectTriangles(const CN5Obj* obj, std::vector<uint32_t>& out);
  void CollectTriangles(const CN5Obj* obj) { CollectTriangles(obj, triangles); }
  std::vector<uint32_t> triangles;
};

class CN5ObjVl : public CN5Obj {
 public:
  CN5ObjVl();
  N5_RTNAME(CN5ObjVl)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::vector<_dxyz> positions, normals;
  std::vector<_dtu> uvs;
  size_t tailArray1 = 0, tailArray2 = 0;  // offsets of the per-vertex tail arrays, 0 when none
};

class CN5ObjTu : public CN5Obj {
 public:
  CN5ObjTu();
  N5_RTNAME(CN5ObjTu)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::vector<double> u1, v1, u2, v2, u3, v3;
  bool copyFlag = false;
  int32_t rotation = 0;
  std::string material;
};

class CN5ObjTx : public CN5Obj {
 public:
  CN5ObjTx();
  N5_RTNAME(CN5ObjTx)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::string textureName;
};

class CN5ObjAp : public CN5Obj {
 public:
  CN5ObjAp();
  N5_RTNAME(CN5ObjAp)
  int32_t WrittenHeaderValue() const override { return 2; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  // The slot-0 texture's name in lower case without folder and extension.
  std::string GetPrimaryTexture() const;
  void GetColourTexture(double& red, double& green, double& blue, std::string& texture, std::string& name) const;
  // Colour, name, map and (with a slot-4 texture) a reflection stage.
  void GetMaterial(CGlMaterial& material) const;
  double lighting[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1};
  int32_t mode = 2;
  std::string appearanceName;
};

class CN5ObjTl : public CN5Obj {
 public:
  CN5ObjTl();
  N5_RTNAME(CN5ObjTl)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::vector<uint32_t> indices;
};

class CN5ObjTs : public CN5Obj {
 public:
  CN5ObjTs();
  N5_RTNAME(CN5ObjTs)
  int32_t WrittenHeaderValue() const override { return 1; }
  size_t ReadData(CByteReader& r) override;
  void ReWriteData() override;
  std::vector<uint32_t> indices;    // raw strip as read
  std::vector<uint32_t> triangles;  // three per triangle
};

class CN5ObjFn : public CN5ObjRaw {
 public:
  CN5ObjFn() { className = "TriFanDescriptor"; }
  N5_RTNAME(CN5ObjFn)
  size_t ReadData(CByteReader& r) override;
  std::vector<uint32_t> indices, triangles;
};

// Kinds of fixed bytes and one child.
class CN5ObjFixed : public CN5ObjRaw {
 public:
  size_t before = 0;
  size_t ReadData(CByteReader& r) override;
};
class CN5ObjTf : public CN5ObjFixed {
 public:
  CN5ObjTf() {
    before = 104;
    className = "TransformDescriptor";
  }
  N5_RTNAME(CN5ObjTf)
};
class CN5ObjBl : public CN5ObjFixed {
 public:
  CN5ObjBl() {
    before = 104;
    className = "BillboardDescriptor";
  }
  N5_RTNAME(CN5ObjBl)
};
class CN5ObjSl : public CN5ObjFixed {
 public:
  CN5ObjSl() {
    before = 131;
    className = "SelfLightingDescriptor";
  }
  N5_RTNAME(CN5ObjSl)
};
class CN5ObjAn : public CN5ObjRaw {
 public:
  CN5ObjAn() { className = "AnimatedTransformDescriptor"; }
  N5_RTNAME(CN5ObjAn)
  size_t ReadData(CByteReader& r) override;
};
class CN5ObjPo : public CN5ObjRaw {
 public:
  CN5ObjPo() { className = "PortalDescriptor"; }
  N5_RTNAME(CN5ObjPo)
  size_t ReadData(CByteReader& r) override;
};
class CN5ObjNo : public CN5ObjRaw {
 public:
  CN5ObjNo() { className = "AppNodeDescriptor"; }
  N5_RTNAME(CN5ObjNo)
  size_t ReadData(CByteReader& r) override;
};
class CN5ObjMl : public CN5ObjRaw {
 public:
  CN5ObjMl() { className = "RegionMorphVertexListDescriptor"; }
  N5_RTNAME(CN5ObjMl)
  size_t ReadData(CByteReader& r) override;
};

}  // namespace lapforge
