// Shared parts of the fuzz programs for the import roads: a silent user
// interface, a scratch folder of the process for the files a road reads,
// the split of one fuzz input into the track file and its side files, and
// the XML round trip every imported description must pass.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "description/TrkDsc.h"
#include "support/UserInterface.h"

namespace lapforge {

namespace roadfuzz {

class CQuietUI : public CUserInterface {
 public:
  void Message(const std::string&, const std::string&) override {}
  bool YesNo(const std::string&, const std::string&) override { return true; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::Yes; }
};

// The side files follow the track bytes, each after its marker line; the
// seeds carry the markers, so mutations reach the side files' readers.
inline constexpr std::string_view kIniMarker = "\n@@track.ini\n";
inline constexpr std::string_view kTexMarker = "\n@@tex\n";

struct Parts {
  std::string_view track;
  bool hasIni = false, hasTex = false;
  std::string_view ini, tex;
};

inline Parts Split(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  Parts p;
  size_t ini = all.find(kIniMarker), tex = all.find(kTexMarker);
  size_t end = std::min(ini, tex);
  p.track = all.substr(0, std::min(end, all.size()));
  auto side = [&](size_t at, size_t markerSize, size_t other) {
    size_t from = at + markerSize;
    size_t to = other > at ? other : all.size();
    return all.substr(from, std::min(to, all.size()) - from);
  };
  if (ini != std::string_view::npos) {
    p.hasIni = true;
    p.ini = side(ini, kIniMarker.size(), tex);
  }
  if (tex != std::string_view::npos) {
    p.hasTex = true;
    p.tex = side(tex, kTexMarker.size(), ini);
  }
  return p;
}

// The seed form: track bytes followed by the side files given.
inline std::vector<uint8_t> Join(const std::vector<uint8_t>& track, const std::string& ini, const std::string& tex) {
  std::vector<uint8_t> out = track;
  auto put = [&](std::string_view s) { out.insert(out.end(), s.begin(), s.end()); };
  if (!ini.empty()) put(kIniMarker), put(ini);
  if (!tex.empty()) put(kTexMarker), put(tex);
  return out;
}

// A folder of this process for the files of one input, removed at exit.
// Kept in plain arrays, which outlive the exit handlers.
class CScratch {
 public:
  static const char* Folder() {
    if (!folder_[0]) {
      char tmpl[] = "/tmp/fuzz_road_XXXXXX";
      if (!::mkdtemp(tmpl)) std::abort();
      std::snprintf(folder_, sizeof folder_, "%s/", tmpl);
      std::atexit(Remove);
    }
    return folder_;
  }
  // Writes (or, when absent, removes) a file of the folder; returns its path.
  static std::string Put(const char* name, std::string_view bytes, bool present = true) {
    Remember(name);
    std::string path = std::string(Folder()) + name;
    if (!present) {
      std::remove(path.c_str());
      return path;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
    return path;
  }
  // A file the road itself writes into the folder.
  static void Remember(const char* name) {
    for (int i = 0; i < count_; ++i)
      if (std::string_view(names_[i]) == name) return;
    if (count_ < kMax) std::snprintf(names_[count_++], sizeof names_[0], "%s", name);
  }

 private:
  static void Remove() {
    for (int i = 0; i < count_; ++i) std::remove((std::string(folder_) + names_[i]).c_str());
    ::rmdir(folder_);
  }
  static constexpr int kMax = 8;
  static inline char folder_[40];
  static inline char names_[kMax][32];
  static inline int count_ = 0;
};

// An imported description written as XML must read back to the same XML
// (abort otherwise); a text XML cannot hold is refused, with its column
// named, and passes.
inline void CheckXmlRoundTrip(const TrkDsc& ds) {
  std::string xml;
  try {
    xml = ds.GetXml();
  } catch (const CDataFormatException&) {
    return;
  }
  TrkDsc back;
  back.ReadXmlText(xml);
  if (back.GetXml() != xml) std::abort();
}

}  // namespace roadfuzz

}  // namespace lapforge
