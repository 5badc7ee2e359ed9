// Writes the seed corpus of the description reader: the sample circuit, a
// description using every table, and a few small documents.
#include <string>

#include "description/TrkDsc.h"
#include "support/FileIO.h"
#include "tests/support/description/Descriptions.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1], text;
  bool ok = true;
  auto put = [&](const std::string& name, const std::string& bytes) {
    ok = ReplaceFile(JoinPath(dir, name), bytes) && ok;
  };
  TrkDsc every;
  FillEveryTable(every);
  put("every.xml", every.GetXml());
  TrkDsc circuit;
  FillCircuit(circuit, 6, 4);
  put("circuit.xml", circuit.GetXml());
  put("empty.xml", TrkDsc().GetXml());
  put("prefixed.xml",
      "<t:TrkDsc xmlns:t=\"http://tempuri.org/TrkDsc.xsd\"><t:Section><t:Index>1</t:Index><t:Traction>"
      "<t:Grip>2</t:Grip></t:Traction></t:Section></t:TrkDsc>");
  return ok ? 0 : 1;
}
