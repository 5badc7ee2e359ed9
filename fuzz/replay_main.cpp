// A stand-in for libFuzzer's driver when the compiler has none: runs every
// file of the given folders through the target, then a bounded number of
// mutations of them (byte flips, truncations, insertions), deterministic
// from a fixed seed. Accepts the libFuzzer flags -runs= and -max_total_time=.
#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void LoadPath(const std::string& path, std::vector<std::vector<uint8_t>>& out) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    DIR* d = opendir(path.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      LoadPath(path + "/" + e->d_name, out);
    }
    closedir(d);
    return;
  }
  std::ifstream f(path, std::ios::binary);
  out.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Runs one input from its own allocation of exactly its size, so that the
// address sanitizer sees any read past its end.
void RunOne(const std::vector<uint8_t>& input) {
  uint8_t* copy = static_cast<uint8_t*>(std::malloc(input.size() ? input.size() : 1));
  if (!input.empty()) std::memcpy(copy, input.data(), input.size());
  LLVMFuzzerTestOneInput(copy, input.size());
  std::free(copy);
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 10000;
  double maxSeconds = 10;
  std::vector<std::vector<uint8_t>> corpus;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("-runs=", 0) == 0) {
      runs = std::atol(a.c_str() + 6);
    } else if (a.rfind("-max_total_time=", 0) == 0) {
      maxSeconds = std::atof(a.c_str() + 16);
    } else if (!a.empty() && a[0] == '-') {
      continue;
    } else {
      LoadPath(a, corpus);
    }
  }
  if (corpus.empty()) corpus.push_back({});
  for (const auto& c : corpus) RunOne(c);

  std::mt19937 rng(12345);
  auto start = std::chrono::steady_clock::now();
  long done = 0;
  for (; done < runs; ++done) {
    if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > maxSeconds) break;
    std::vector<uint8_t> m = corpus[rng() % corpus.size()];
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 4) {
        case 0:
          if (!m.empty()) m[rng() % m.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
          break;
        case 1:
          if (!m.empty()) m.resize(rng() % m.size());
          break;
        case 2:
          m.insert(m.begin() + static_cast<long>(m.empty() ? 0 : rng() % m.size()), static_cast<uint8_t>(rng()));
          break;
        default:
          if (m.size() >= 4) {
            size_t at = rng() % (m.size() - 3);
            uint32_t v = (rng() % 2) ? 0xffffffffu : static_cast<uint32_t>(rng() % 4096);
            std::memcpy(&m[at], &v, 4);
          }
          break;
      }
    }
    RunOne(m);
  }
  std::printf("replayed %zu inputs and %ld mutations\n", corpus.size(), done);
  return 0;
}
