// Writes the seed corpus of the export road: the sample circuit, the clean
// loop of the checker's tests with an infield and an outfield object added,
// generated circuits (banked with details, an open road without contours)
// and the description using every table.
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "fuzz/SeedWriter.h"
#include "support/FileIO.h"
#include "tests/support/description/CheckedTracks.h"
#include "tests/support/description/Descriptions.h"

using namespace lapforge;

namespace {
std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  std::string sample;
  const bool read = static_cast<bool>(ReadWholeFile(LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml", sample));
  seeds.Put("sample.xml", Bytes(sample), read);
  // A first section of walls only, with infield and outfield objects beside
  // it: the scenery there cannot be placed and is left out.
  std::string wallsOnly;
  const bool readWalls = static_cast<bool>(
      ReadWholeFile(LAPFORGE_SOURCE_DIR "/fuzz/regressions/export_road_walls_only_section.xml", wallsOnly));
  seeds.Put("walls_only_section.xml", Bytes(wallsOnly), readWalls);

  TrkDsc loop;
  FillCheckedLoop(loop);
  loop.InfieldObj.AddInfieldObjRow("infield", false, 20.0f, 180.0f, 60.0f, 80.0f, 2.0f, 10.0f, "grass", 10.0f);
  loop.OutfieldObj.AddOutfieldObjRow("outfield", 300.0f, 400.0f, 5.0f, 8.0f, 0.0f, 1.0f, 2.0f, 10.0f, "grass", 10.0f);
  seeds.Put("loop.xml", Bytes(loop.GetXml()));
  // A title in another encoding than UTF-8, which names the object's block.
  loop.VerticalObj[0].SetTitle("b\xFB" "oard");
  seeds.Put("loop_latin1.xml", Bytes(loop.GetXml()));

  CircuitOptions banked;
  banked.length = 900, banked.sections = 6, banked.bands = 3, banked.longRes = 20, banked.banked = true;
  banked.detailEvery = 2;
  TrkDsc generated;
  FillGeneratedCircuit(generated, banked);
  seeds.Put("banked.xml", Bytes(generated.GetXml()));

  CircuitOptions road;
  road.length = 400, road.sections = 4, road.bands = 2, road.straightOnly = true, road.contours = false;
  TrkDsc open;
  FillGeneratedCircuit(open, road);
  seeds.Put("road.xml", Bytes(open.GetXml()));

  TrkDsc circuit, every;
  FillCircuit(circuit, 6, 4);
  seeds.Put("circuit.xml", Bytes(circuit.GetXml()));
  FillEveryTable(every);
  seeds.Put("every.xml", Bytes(every.GetXml()));
  return seeds.Finish();
}
