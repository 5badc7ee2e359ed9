#include "app/Lapforge.h"

#include <exception>

#include "app/support/UserInterface.h"
#include "description/TrkDsc.h"

std::unique_ptr<TrkDsc> CLapforge::DataBaseFromXML(const std::string& xmlFile) {
  auto db = std::make_unique<TrkDsc>();
  try {
    db->ReadXml(xmlFile);
  } catch (const CDataFormatException&) {
    UI().Message(
        "There is a incorrectly typed value in your xml\nUsing Open XML you should be able to see from the tables "
        "where "
        "the error occurred",
        "Error in XML");
    return nullptr;
  } catch (const std::exception& e) {
    UI().Message(e.what(), "");
    return nullptr;
  }
  return db;
}

int CLapforge::FromXML(const std::string& xmlFile, int (CLapforge::*road)(const TrkDsc&, const std::string&),
                       const std::string& output) {
  std::unique_ptr<TrkDsc> db = DataBaseFromXML(xmlFile);
  return db ? (this->*road)(*db, output) : 0;
}

int CLapforge::DataBaseToXML(const TrkDsc& db, const std::string& xmlFile) {
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
