#include "roads/Lapforge.h"

#include <exception>

#include "description/TrkDsc.h"
#include "roads/LapforgeReading.h"
#include "support/Errors.h"
#include "support/OutputCheck.h"
#include "support/UserInterface.h"

namespace lapforge {

void CLapforge::Show(const Result& result, const std::string& caption) {
  for (const std::string& warning : result.warnings) ShowWarning(warning);
  if (result) return;
  ShowError(result.Text(), caption);
  if (!result.where.empty()) ShowError(result.where, caption);
}

bool CLapforge::OutputsClear(const std::vector<std::string>& outputs, const std::vector<std::string>& more) {
  std::vector<std::string> inputs = inputs_;
  inputs.insert(inputs.end(), more.begin(), more.end());
  const Result clear = CheckOutputs(inputs, outputs);
  Show(clear, "Output File");
  return static_cast<bool>(clear);
}

std::unique_ptr<TrkDsc> CLapforge::DataBaseFromXML(const std::string& xmlFile) {
  CWorkStep step("reading " + xmlFile);
  auto db = std::make_unique<TrkDsc>();
  try {
    const Result read = db->ReadXml(xmlFile);
    if (read.status == Status::Invalid) {
      // A mistyped value: the fixed text, then the element, its row and the
      // value on a line of their own.
      ShowError(
          "There is a incorrectly typed value in your xml\nUsing Open XML you should be able to see from the tables "
          "where "
          "the error occurred\n" +
              read.Text(),
          "Error in XML");
      return nullptr;
    }
    if (!read) {
      Show(read, "");
      return nullptr;
    }
  } catch (const std::exception& e) {
    ShowError(ErrorText(e), "");
    return nullptr;
  }
  return db;
}

int CLapforge::FromXML(const std::string& xmlFile, int (CLapforge::*road)(const TrkDsc&, const std::string&),
                       const std::string& output) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  if (!db) return 0;
  ReadingScope reading(*this, {xmlFile});
  return (this->*road)(*db, output);
}

int CLapforge::DataBaseToXML(const TrkDsc& db, const std::string& xmlFile) {
  if (!OutputsClear({xmlFile})) return 0;
  if (Result written = db.WriteXml(xmlFile); !written) {
    Show(written, "");
    return 0;
  }
  CountFilesWritten(1);
  return 1;
}

int CLapforge::XMLToXML(const std::string& xmlIn, const std::string& xmlOut) {
  return FromXML(xmlIn, &CLapforge::DataBaseToXML, xmlOut);
}

}  // namespace lapforge
