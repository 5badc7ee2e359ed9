#include "formats/base/ModelFormat.h"

#include "mesh/GlInsert.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

CSim::CSim() { objTag.ClearObjTag(); }

CSim::~CSim() = default;

int CSim::BuildGLBlocks(CGlBlockArray&, CGlMipArray&) { return 1; }

void CSim::Report(const std::string&) {}

void CSim::BuildGL() {}

void CSim::UpdateTitle(const std::string&) {}

int CSim::ImportOptions() { return 1; }

int CSim::ReadInsert(CGlInsertArray& insertList, CGlBlockArray&, CGlMipArray&, CGlMaterialArray&) {
  CGlInsert insert;
  insert.name = title;
  insert.insertFlag = insertFlag;
  return insertList.Add(insert);
}

void CSim::SetFilePath(const std::string& path) {
  filePath = FileString::LowerFileName(path);
  folder = FileString::Path(path);
  for (char& c : folder)
    if (c == '\\') c = '/';
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::string trimmed = folder;
  while (!trimmed.empty() && trimmed.back() == '/') trimmed.pop_back();
  size_t cut = FileString::LastSeparator(trimmed);
  folderName = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
  std::string name = FileString::FileName(path);
  size_t dot = name.find('.');
  title = dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CSim::PieceName(const std::string& name, int n) {
  return n <= 1 ? name : StrFormat("%s_%d", name.c_str(), n);
}

}  // namespace lapforge
