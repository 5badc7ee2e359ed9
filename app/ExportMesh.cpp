#include "app/ExportMesh.h"

#include "app/Lapforge.h"
#include "app/support/FileIO.h"
#include "app/support/FileString.h"
#include "app/support/Templates.h"
#include "app/support/UserInterface.h"

bool CExportMesh::Build(CLapforge& driver, const TrkDsc& db) {
  if (!driver.PTFObjFromDataBase(db, model, std::string())) return false;
  driver.CreateObjects(model, blocks, materials, textures, trackNames, verticalNames, otherNames);
  return true;
}

void ReportWriteFailure(const std::string& error) { UI().Message(error, "Lapforge"); }

bool WriteTemplateFile(int id, bool binary, const std::string& file) {
  if (!FindTemplate(id, binary ? TemplateKind::Binary : TemplateKind::Text)) return true;
  if (binary ? WriteBinaryResource(id, file) : WriteTextResource(id, file)) return true;
  ReportWriteFailure("Could not write file '" + file + "'");
  return false;
}

std::string OutputFile(const std::string& folder, const std::string& name) {
  return FileString::LowerFileName(JoinPath(folder, name));
}
