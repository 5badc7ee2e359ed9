// The AI waypoint and camera roads of the conversion driver: a description
// built into a track model, then an AI waypoint file written from the racing
// lines beside an LP file or from the racing line computed for the track, or
// a camera file converted onto the track.
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/aiw/AiwFile.h"
#include "formats/aiw/CameraFile.h"
#include "formats/aiw/LpFile.h"
#include "mapping/PtfMapping.h"
#include "roads/AiInfo.h"
#include "roads/ComputedLine.h"
#include "roads/Lapforge.h"
#include "roads/LapforgeReading.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/TrackIni.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

const char kIncomplete[] = "Lapforge requires the AIInfo row to be complete";

}  // namespace

const char* EmptyAIInfoColumn(const TrkDsc::AIInfoRow& row) {
  if (row.IsMergePitInNull()) return "MergePitIn";
  if (row.IsMergePitOutNull()) return "MergePitOut";
  if (row.IsStallsLatEndNull()) return "StallsLatEnd";
  if (row.IsStallsLatStartNull()) return "StallsLatStart";
  if (row.IsStallsLongEndNull()) return "StallsLongEnd";
  if (row.IsStallsLongStartNull()) return "StallsLongStart";
  return nullptr;
}

VARS_AIW_TRACK_INFO AiwTrackInfo(const TrkDsc::AIInfoRow& row) {
  VARS_AIW_TRACK_INFO info;
  info.mergePitIn = row.MergePitIn();
  info.mergePitOut = row.MergePitOut();
  info.stallsLongStart = row.StallsLongStart();
  info.stallsLatStart = row.StallsLatStart();
  info.stallsLongEnd = row.StallsLongEnd();
  info.stallsLatEnd = row.StallsLatEnd();
  row.CopyGridLat(info.gridLat);
  row.CopyPollPositionLeft(info.pollPositionLeft);
  return info;
}

namespace {

// The lines of the AI waypoints when no LP file was recorded: the computed
// racing line, the pass lines its bounds less the margin (left, then right)
// and the pit line at the stalls' lateral, every kLpSpacing as an LP file
// holds them.
void SetComputedLines(const ComputedLine& computed, double margin, float pitLateral, CLReadLP& lp) {
  const std::vector<float> race = LineLpLaterals(computed);
  std::vector<float> maxrace(race.size()), minrace(race.size());
  for (size_t k = 0; k < race.size(); ++k) {
    double lo, hi;
    computed.BoundsAt(kLpSpacing * static_cast<double>(k), margin, lo, hi);
    maxrace[k] = static_cast<float>(hi);
    minrace[k] = static_cast<float>(lo);
  }
  const std::vector<float> pit(race.size(), pitLateral);
  lp.SetLines(race, pit, maxrace, minrace);
}

}  // namespace

int CLapforge::AIWFromDataBase(const TrkDsc& db, const std::string& lpFile, const std::string& aiwFile) {
  return AIWFromDataBase(db, lpFile, aiwFile, LineOptions());
}

int CLapforge::AIWFromDataBase(const TrkDsc& db, const std::string& lpFile, const std::string& aiwFile,
                               const LineOptions& options) {
  const bool computeLine = lpFile.empty();
  if (!OutputsClear({aiwFile}, computeLine ? std::vector<std::string>() : CLReadLP::ReadFiles(lpFile))) return 0;
  CN5PtfDb model;
  if (!PTFObjFromDataBase(db, model, "")) return 0;
  if (db.AIInfo.Count() == 0) {
    ShowError("Lapforge requires a row in the AIInfo Table", "Missing Data");
    return 0;
  }
  try {
    const TrkDsc::AIInfoRow row = db.AIInfo[0];
    // Nothing is written without every required value; the user is told
    // which one is empty.
    if (const char* column = EmptyAIInfoColumn(row)) {
      ShowError(std::string("The AIInfo column ") + column + " is empty. " + kIncomplete, "Missing Data");
      return 0;
    }
    const VARS_AIW_TRACK_INFO info = AiwTrackInfo(row);

    CZWriteAIW writer;
    Result written;
    if (computeLine) {
      ComputedLine computed;
      if (!ComputeRacingLine(db, model, options, computed, "Racing Line")) return 0;
      CLReadLP lp;
      SetComputedLines(computed, options.margin, info.stallsLatStart, lp);
      written = ReplaceFile(aiwFile, writer.BuildAiw(model, info, lp, 1));
    } else {
      written = writer.AIWFromLP(model, info, lpFile, aiwFile, 1);
    }
    if (!writer.warning.empty()) ShowWarning(writer.warning);
    if (!written) {
      ShowError(written.Text(), "");
      return 0;
    }
    return 1;
  } catch (const std::exception& e) {
    ShowError(ErrorText(e), "");
    ShowError(kIncomplete, "");
    return 0;
  }
}

int CLapforge::XMLToAIW(const std::string& xmlFile, const std::string& lpFile, const std::string& aiwFile) {
  return XMLToAIW(xmlFile, lpFile, aiwFile, LineOptions());
}

int CLapforge::XMLToAIW(const std::string& xmlFile, const std::string& lpFile, const std::string& aiwFile,
                        const LineOptions& options) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  if (!db) return 0;
  ReadingScope reading(*this, {xmlFile});
  return AIWFromDataBase(*db, lpFile, aiwFile, options);
}

int CLapforge::CamFromDataBase(const TrkDsc& db, const std::string& camIn, const std::string& camOut) {
  if (!OutputsClear({camOut}, {camIn})) return 0;
  CN5PtfDb model;
  if (!PTFObjFromDataBase(db, model, "")) return 0;
  try {
    CZWriteCam writer;
    if (Result written = writer.CamToCam(model, camIn, camOut); !written) {
      ShowError(written.Text(), "");
      return 0;
    }
    return 1;
  } catch (const std::exception& e) {
    ShowError(ErrorText(e), "");
    return 0;
  }
}

int CLapforge::XMLToCam(const std::string& xmlFile, const std::string& camIn, const std::string& camOut) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  if (!db) return 0;
  ReadingScope reading(*this, {xmlFile});
  return CamFromDataBase(*db, camIn, camOut);
}

}  // namespace lapforge
