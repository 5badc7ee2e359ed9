// The AI waypoint file of an rFactor-style track: race waypoints every 6 m
// along the racing line, the pit lane blended from the racing line into the
// pit line, grid slots, teleport slots, pit stalls with their garages,
// auxiliary locations and the lap data, all placed with the track model's
// position queries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/aiw/LpFile.h"
#include "support/TextFormat.h"
#include "support/TrackIni.h"

namespace lapforge {

class ITrackQuery;

// One waypoint as written.
struct aiwe {
  int32_t index = 0;
  double lat = 0;
  double dist = 0;
  double x = 0, y = 0, z = 0;
  double vx = 0, vy = 0, vz = 0;  // to the next waypoint
  double px = 0, py = 0, pz = 0;  // one metre to the right
  double width[4] = {0, 0, 0, 0};  // drive left, drive right, wall left, wall right
  int32_t prev = 0, next = 0, link = -1, branch = 0, sector = 0;
  double heading = 0, pitch = 0, roll = 0;
  double pathOffset = 0;
};

class CZWriteAIW {
 public:
  // Writes the AI waypoint file of a track from the LP files beside lpPath;
  // extras adds grid slot 103 and stall 51. Fails when the racing lines
  // could not be read or the file could not be written (an old file is then
  // left as it was). A track too short for waypoints or too long (more than
  // a million of them), pit-lane or stall values that do not fit it, or a
  // query outside the track's lists raise the invalid-argument error;
  // nothing is written then either. A racing line shorter than the track
  // sets warning.
  Result AIWFromLP(ITrackQuery& track, const VARS_AIW_TRACK_INFO& info, const std::string& lpPath,
                   const std::string& outPath, int extras);
  // The file's text for lines already read (lp), CRLF line ends; fills the
  // lists below.
  std::string BuildAiw(ITrackQuery& track, const VARS_AIW_TRACK_INFO& info, const CLReadLP& lp, int extras);

  void WriteAiwGrid(CTextWriter& out);
  void WriteAiwPits(CTextWriter& out, double garageStep);
  void WriteLengthDetailsAiw(CTextWriter& out, int waypoints, double length, int leftHandedPits);
  void WriteAiwRace(CTextWriter& out);

  // A heading as the game wants it: a quarter turn added, then mirrored
  // into (-pi, pi].
  static double NormAng(double a);

  std::vector<aiwe> waypoints;
  std::vector<aiwe> grid;      // grid slots; index holds the slot name
  std::vector<aiwe> teleport;  // teleport slots
  std::vector<aiwe> stalls;    // index holds the stall name
  std::vector<aiwe> aux;       // auxiliary locations
  // Set when the racing line is shorter than the track: names both lengths.
  std::string warning;

 private:
  // Steps of BuildAiw, in order.
  void CheckPitAndStalls(const VARS_AIW_TRACK_INFO& info, int& pitWaypoints, double& stallSpan) const;
  void AddRaceWaypoints(const CLReadLP& lp, int n);
  double AddPitLane(const CLReadLP& lp, float mergeIn, int n, int P);
  void AddGridSlots(const VARS_AIW_TRACK_INFO& info, int gridSlots);
  void AddTeleportSlots(const VARS_AIW_TRACK_INFO& info);
  double AddStalls(const VARS_AIW_TRACK_INFO& info, const CLReadLP& lp, int n, int P, double s, int stallCount);
  void CheckFinite() const;
  void SetWarning(const CLReadLP& lp, double pitReach);

  void Place(ITrackQuery& track, aiwe& w, double d, double lat, bool withAngles);
  void WriteLocation(CTextWriter& out, const char* indexKey, int index, const char* posKey, const char* oriKey,
                     const aiwe& w);
  ITrackQuery* track_ = nullptr;
  double length_ = 0;
};

}  // namespace lapforge
