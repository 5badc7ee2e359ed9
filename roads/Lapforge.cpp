#include "roads/Lapforge.h"

#include <exception>

#include "description/TrkDsc.h"
#include "roads/LapforgeReading.h"
#include "support/Errors.h"
#include "support/OutputCheck.h"
#include "support/UserInterface.h"

bool CLapforge::OutputsClear(const std::vector<std::string>& outputs, const std::vector<std::string>& more) {
  std::vector<std::string> inputs = inputs_;
  inputs.insert(inputs.end(), more.begin(), more.end());
  std::string error;
  if (CheckOutputs(inputs, outputs, error)) return true;
  UI().Message(error, "Output File");
  return false;
}

std::unique_ptr<TrkDsc> CLapforge::DataBaseFromXML(const std::string& xmlFile) {
  CWorkStep step("reading " + xmlFile);
  auto db = std::make_unique<TrkDsc>();
  try {
    db->ReadXml(xmlFile);
  } catch (const CDataFormatException& e) {
    // The fixed text, then the element, its row and the value on a line of
    // their own.
    UI().Message(
        "There is a incorrectly typed value in your xml\nUsing Open XML you should be able to see from the tables "
        "where "
        "the error occurred\n" +
            std::string(e.what()),
        "Error in XML");
    return nullptr;
  } catch (const std::exception& e) {
    UI().Message(ErrorText(e), "");
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
  std::string error;
  if (!db.WriteXml(xmlFile, error)) {
    UI().Message(error, "");
    return 0;
  }
  CountFilesWritten(1);
  return 1;
}

int CLapforge::XMLToXML(const std::string& xmlIn, const std::string& xmlOut) {
  return FromXML(xmlIn, &CLapforge::DataBaseToXML, xmlOut);
}
