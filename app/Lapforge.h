// The conversion driver: the single place where a user command becomes work
// on disk. Stateless; a new instance per command. Every XML... operation is
// DataBaseFromXML followed by the matching ...FromDataBase. Results: 0 for
// failure or nothing written, otherwise 1 or a count.
#pragma once

#include <memory>
#include <string>

class CN5PtfDb;
class TrkDsc;

class CLapforge {
 public:
  // Loads a description; on failure shows the message and returns null.
  std::unique_ptr<TrkDsc> DataBaseFromXML(const std::string& xmlFile);
  // Writes a description as XML (the tail of every import); 1 written, 0 failed.
  int DataBaseToXML(const TrkDsc& db, const std::string& xmlFile);
  // Load and write back (the table editor's "Write XML").
  int XMLToXML(const std::string& xmlIn, const std::string& xmlOut);

  // PTF roads.
  int PTFtoXML(const std::string& ptfFile, const std::string& xmlFile, bool tsoXYZ, bool autoMaterials);
  int XMLToPTF(const std::string& xmlFile, const std::string& ptfFile);
  int PTFFromDataBase(const TrkDsc& db, const std::string& ptfFile);
  // The track model of a description, the start of every export (with an
  // output PTF path, scenery becomes object files beside it): 1 built, 0
  // failed (the message has been shown).
  int PTFObjFromDataBase(const TrkDsc& db, CN5PtfDb& model, const std::string& outputPath);
  // A PTF track read into a new description; null when it cannot be read.
  std::unique_ptr<TrkDsc> DataBaseFromPTF(const std::string& ptfFile, bool tsoXYZ, bool autoMaterials);

  // GPL road.
  int GplTrktoXML(const std::string& trkFile, const std::string& xmlFile, bool fromGplTrk, bool autoMaterials);
};
