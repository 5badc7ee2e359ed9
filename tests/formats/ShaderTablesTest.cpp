// Checks the built-in shader tables against the expected values kept as TSV
// files beside the tests, record by record and field by field.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "formats/shaders/ShaderTables.h"

namespace lapforge {

namespace {

std::vector<std::vector<std::string>> ReadTsv(const std::string& name) {
  std::ifstream in(std::string(LAPFORGE_SOURCE_DIR) + "/tests/formats/data/" + name);
  EXPECT_TRUE(in.good()) << name;
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, '\t')) cells.push_back(cell);
    if (!line.empty() && line.back() == '\t') cells.push_back("");
    rows.push_back(cells);
  }
  return rows;
}

void ExpectStages(const _gfxStage* stages, int count, const std::vector<std::string>& row, size_t first,
                  const std::string& what) {
  ASSERT_EQ(row.size(), first + 4 * count) << what;
  for (int s = 0; s < count; ++s) {
    const size_t c = first + 4 * s;
    EXPECT_EQ(stages[s].stage, std::stol(row[c])) << what << " stage " << s;
    EXPECT_EQ(stages[s].mapKind, std::stol(row[c + 1])) << what << " stage " << s;
    EXPECT_EQ(stages[s].blend, std::stol(row[c + 2])) << what << " stage " << s;
    EXPECT_EQ(stages[s].texCoordSet, std::stol(row[c + 3])) << what << " stage " << s;
  }
}

}  // namespace

TEST(ShaderTables, HardwareTableMatchesExpectedRecords) {
  const auto rows = ReadTsv("hardware_shaders.tsv");
  ASSERT_EQ(rows.size(), static_cast<size_t>(kGfxDXShaderCount));
  for (int i = 0; i < kGfxDXShaderCount; ++i) {
    const auto& row = rows[i];
    const _gfxDXShader& rec = g_gfxDXShaders[i];
    ASSERT_GE(row.size(), 2u);
    EXPECT_EQ(std::stoi(row[0]), i);
    EXPECT_EQ(std::string(rec.name), row[1]) << i;
    ExpectStages(rec.stages, _gfxDXShader::kStages, row, 2, row[1]);
  }
}

TEST(ShaderTables, CatalogueMatchesExpectedRecords) {
  const auto rows = ReadTsv("shader_catalogue.tsv");
  ASSERT_EQ(rows.size(), static_cast<size_t>(kGfxSimEDShaderCount));
  for (int i = 0; i < kGfxSimEDShaderCount; ++i) {
    const auto& row = rows[i];
    const _gfxSimEDShader& rec = g_gfxSimEDShaders[i];
    ASSERT_GE(row.size(), 11u);
    const std::string what = row[1];
    EXPECT_EQ(std::stoi(row[0]), i);
    EXPECT_EQ(std::string(rec.name), row[1]) << what;
    EXPECT_EQ(std::string(rec.shortDescription), row[2]) << what;
    EXPECT_EQ(std::string(rec.dx7Name), row[3]) << what;
    EXPECT_EQ(std::string(rec.dx8Name), row[4]) << what;
    EXPECT_EQ(std::string(rec.dx9Name), row[5]) << what;
    EXPECT_EQ(rec.variant, std::stoi(row[6])) << what;
    EXPECT_EQ(rec.blendMode, std::stoi(row[7])) << what;
    EXPECT_EQ(rec.mode, std::stoi(row[8])) << what;
    EXPECT_EQ(rec.stageCount, std::stoi(row[9])) << what;
    EXPECT_EQ(rec.specular, std::stoi(row[10])) << what;
    // Unresolved until the dictionary starts.
    EXPECT_EQ(rec.dx7Index, -1);
    EXPECT_EQ(rec.dx8Index, -1);
    EXPECT_EQ(rec.dx9Index, -1);
    ExpectStages(rec.stages, _gfxSimEDShader::kStages, row, 11, what);
  }
}

}  // namespace lapforge
