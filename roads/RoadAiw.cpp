// The AI waypoint and camera roads of the conversion driver: a description
// built into a track model, then an AI waypoint file written from the racing
// lines beside an LP file, or a camera file converted onto the track.
#include <cstdio>
#include <exception>
#include <memory>

#include "description/TrkDsc.h"
#include "formats/aiw/AiwFile.h"
#include "formats/aiw/CameraFile.h"
#include "formats/aiw/LpFile.h"
#include "mapping/PtfMapping.h"
#include "roads/AiInfo.h"
#include "roads/Lapforge.h"
#include "roads/LapforgeReading.h"
#include "support/Errors.h"
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

int CLapforge::AIWFromDataBase(const TrkDsc& db, const std::string& lpFile, const std::string& aiwFile) {
  if (!OutputsClear({aiwFile}, CLReadLP::ReadFiles(lpFile))) return 0;
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
    const Result written = writer.AIWFromLP(model, info, lpFile, aiwFile, 1);
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
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  if (!db) return 0;
  ReadingScope reading(*this, {xmlFile});
  return AIWFromDataBase(*db, lpFile, aiwFile);
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
