// The PTF roads of the conversion driver: a PTF track read into a new
// description written as XML, and a description built into a track model
// written as a PTF file.
#include <memory>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "roads/Lapforge.h"
#include "roads/LapforgeReading.h"
#include "support/FileString.h"
#include "support/OutputCheck.h"
#include "support/RegOption.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace {

// The caption a failed PTF import is shown under: a damaged file, one that
// cannot be read or is not a track file, and a conversion that failed.
const char* ImportCaption(Status status) {
  switch (status) {
    case Status::Damaged: return "Damaged track file";
    case Status::CannotRead:
    case Status::WrongKind: return "Cannot read the track file";
    default: return "";
  }
}

}  // namespace

int CLapforge::PTFtoXML(const std::string& ptfFile, const std::string& xmlFile, bool tsoXYZ, bool autoMaterials) {
  ReadingScope reading(*this, PtfReadFiles(ptfFile));
  if (!OutputsClear({xmlFile})) return 0;
  std::unique_ptr<TrkDsc> db = DataBaseFromPTF(ptfFile, tsoXYZ, autoMaterials);
  if (!db) return 0;
  return DataBaseToXML(*db, xmlFile);
}

int CLapforge::XMLToPTF(const std::string& xmlFile, const std::string& ptfFile) {
  return FromXML(xmlFile, &CLapforge::PTFFromDataBase, ptfFile);
}

int CLapforge::PTFFromDataBase(const TrkDsc& db, const std::string& ptfFile) {
  // The games look the track up by its lower-cased name; the folders keep
  // their letter case so that the file can be created.
  const std::string out = FileString::LowerFileName(ptfFile);
  // The object files of the scenery are written beside it while the track
  // is built, so every output is checked first.
  std::vector<std::string> outputs = SceneryObjectFiles(db, out);
  outputs.insert(outputs.begin(), out);
  if (!OutputsClear(outputs)) return 0;
  const std::vector<OutputStamp> existing = StampExisting(outputs);
  CN5PtfDb model;
  if (!PTFObjFromDataBase(db, model, ptfFile)) return 0;
  const int version = CRegOption::GetOption("WriteN4PTF", 0) != 0 ? 5 : 7;
  if (Result written = model.WritePtf(out, version); !written) {
    // The object files written before it are named when they replaced older
    // ones; a model without a track record has no reason, only the file.
    ShowError("The track file cannot be written: " + (written.Text().empty() ? out : written.Text()) +
                     ReplacedLines(ReplacedSince(existing)),
                 "");
    return 0;
  }
  CountFilesWritten(1 + model.sceneryFilesWritten);
  return 1;
}

int CLapforge::PTFObjFromDataBase(const TrkDsc& db, CN5PtfDb& model, const std::string& outputPath) {
  const Result built = lapforge::PTFObjFromDataBase(db, model, outputPath);
  Show(built, "");
  return built ? 1 : 0;
}

std::unique_ptr<TrkDsc> CLapforge::DataBaseFromPTF(const std::string& ptfFile, bool tsoXYZ, bool autoMaterials) {
  Result read;
  std::unique_ptr<TrkDsc> db = lapforge::DataBaseFromPTF(ptfFile, tsoXYZ, autoMaterials, read);
  Show(read, ImportCaption(read.status));
  return db;
}

}  // namespace lapforge
