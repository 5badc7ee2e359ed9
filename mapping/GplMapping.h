// A GPL track read for conversion into a track description: the values of
// the summary, section, traction and contour rows, and the surface and wall
// texture lists the tractions feed (sorted by surface code, then texture
// index, one entry per pair).
#pragma once

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "description/tables/TrackTextures.h"
#include "gpl/TrkReader.h"
#include "mapping/TransferRecords.h"

namespace lapforge {

class TrkDsc;

class CNTrkGplDb : public CNTrk {
 public:
  // A loaded track, or none when the file cannot be opened or read; result
  // says why, and carries the warnings of the read either way.
  static std::unique_ptr<CNTrkGplDb> CreateFromFile(const std::string& path, Result& result);

  void DbGetSummary(TrackSummaryRecord& summary);
  void DbGetSection(int index, SectionRecord& section) const;
  // Replaces tractions by the rows of section index and offers their
  // textures to the lists.
  void DbGetTractions(int index, std::vector<TractionRecord>& tractions, bool gplTrk);
  void DbGetContours(int index, std::vector<ContourRecord>& contours) const;

  CTrackTractionTexArray DbGetTractionTex() const { return TractionTex(); }
  CTrackWallTexArray DbGetWallTex() const { return WallTex(); }
  const CTrackTractionTexArray& TractionTex() const;
  const CTrackWallTexArray& WallTex() const;

  // Adds the entry unless its (surface code, texture index) pair is listed
  // already. The lists are sorted by pair when next read; the entries are
  // collected in the order they come, so that a file whose pairs arrive in
  // descending order costs no more than one in ascending order.
  void DbFindAddTractionTex(const VARS_TRACK_TRACTION_TEX& entry);
  void DbFindAddWallTex(const VARS_TRACK_WALL_TEX& entry);

  double StartAngle() const { return startAngle_; }

  // Refuses (CFormatError) a file whose sections refer to its traction
  // records many times over: a track's sections each have their own bands,
  // and a damaged file that lets every section claim the whole table would
  // make the description grow with the square of the file's size.
  void CheckTractionReferences() const;

 private:
  void SortLists() const;

  double startAngle_ = 0;  // degrees
  // Collected unsorted; sorted when read (sorted_ tells whether they are).
  mutable CTrackTractionTexArray tractionTex_;
  mutable CTrackWallTexArray wallTex_;
  mutable bool sorted_ = true;
  // The (surface code, texture index) pairs listed, as PairKey.
  std::unordered_set<uint64_t> tractionPairs_, wallPairs_;
  std::vector<NTRK_TRACTION> records_;  // scratch for one section
};

// The first traction (wall) texture entry with this surface code and index
// takes the values of a texture list line.
void UpdateTractionTex(CTrackTractionTexArray& list, int grip, int textureIndex, int kind, double first, double second,
                       const std::string& name);
void UpdateWallTex(CTrackWallTexArray& list, int grip, int textureIndex, int kind, double first, double second,
                   const std::string& name);
// Applies a texture list text (lines "grip index kind f1 f2 name // comment").
void ApplyTextureList(const std::string& text, CTrackTractionTexArray& tractionTex, CTrackWallTexArray& wallTex);

// The track description of a GPL track, or none when the file cannot be
// read or converted (result then says why, in the words shown to the user;
// its warnings are to be shown either way). autoMaterials is accepted for
// the driver's sake; the material names are always generated.
std::unique_ptr<TrkDsc> DataBaseFromGplTrk(const std::string& path, bool gplTrk, bool autoMaterials, Result& result);
// The files DataBaseFromGplTrk reads for a track: the track, and the texture
// list (its title with ".tex") and track.ini beside it when they are there.
std::vector<std::string> GplTrkReadFiles(const std::string& path);
// The "_blank.tex" that DataBaseFromGplTrk writes beside the track.
std::string GplBlankListFile(const std::string& path);

}  // namespace lapforge
