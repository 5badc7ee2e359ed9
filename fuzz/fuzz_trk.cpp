// Fuzz target for the GPL track reader and the import: any input either
// imports or is refused with a message, never read outside its buffer. An
// import must give one section row per section and a description that
// reads back from its own XML; the position queries (the lateral limits
// included) answer or refuse on any loaded track.
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "description/TrkDsc.h"
#include "mapping/GplMapping.h"
#include "support/UserInterface.h"

using namespace lapforge;

namespace {
class CQuietUI : public CUserInterface {
 public:
  void Message(const std::string&, const std::string&) override {}
  bool YesNo(const std::string&, const std::string&) override { return true; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::Yes; }
};

// A folder of this process for the track file and the import's side file,
// removed at exit. Kept in a plain array, which outlives the exit handlers.
char g_folder[32];

void RemoveFolder() {
  for (const char* f : {"fuzz.trk", "_blank.tex"}) std::remove((std::string(g_folder) + f).c_str());
  ::rmdir(g_folder);
}

const char* Folder() {
  if (!g_folder[0]) {
    char tmpl[] = "/tmp/fuzz_trk_XXXXXX";
    if (!::mkdtemp(tmpl)) std::abort();
    std::snprintf(g_folder, sizeof g_folder, "%s/", tmpl);
    std::atexit(RemoveFolder);
  }
  return g_folder;
}

void Queries(const uint8_t* data, size_t size) {
  CNTrk trk;
  try {
    trk.SetDataPtr(data, size);
  } catch (const CFormatError&) {
    return;
  }
  const int32_t L = trk.GetTrackLength();
  const int32_t distances[] = {0, -1, L, L - 1, L / 3, INT32_MIN + 1};
  const int32_t laterals[] = {0, INT32_MAX, INT32_MIN, 1 << 20, -(1 << 20)};
  for (int32_t d : distances) {
    for (int32_t l : laterals) {
      double x, y, z, h;
      try {
        trk.GetXYZOfBank(d, l, x, y, z, l > 0);
        trk.GetAngles(d, h);
      } catch (const CFormatError&) {
      }
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CQuietUI quiet;
  SetUserInterface(&quiet);
  Queries(data, size);

  const std::string path = std::string(Folder()) + "fuzz.trk";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  // Odd sizes read the track as one made by the GPLTRK tool.
  Result read;
  std::unique_ptr<TrkDsc> ds = DataBaseFromGplTrk(path, size % 2 == 1, true, read);
  if (!ds) return 0;
  CNTrk trk;
  trk.SetDataPtr(data, size);
  if (ds->Section.Count() != trk.GetNumberOfSections()) std::abort();
  std::string xml = ds->GetXml();
  TrkDsc back;
  back.ReadXmlText(xml);
  if (back.GetXml() != xml) std::abort();
  return 0;
}
