// Inputs that are not what a command takes: the command says what it found,
// ends with status 1 and writes nothing.
#include <gtest/gtest.h>

#include "tests/support/CliRun.h"
#include "tests/support/TestSupport.h"
#include "tests/support/gpl/TrkBuilder.h"
#include "tests/support/ptf/RecordTrees.h"

namespace lapforge {

namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

TEST(CliHostileInput, FilesOfAnotherKindAreRefusedNamingWhatWasFound) {
  CTempDir dir;
  WriteText(dir.File("svg.xml"), "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"><g/></svg>\n");
  WriteText(dir.File("bare.xml"), "<TrkDsc><Section><Length>10</Length></Section></TrkDsc>\n");
  WriteText(dir.File("typed.xml"),
            "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><Section/><Section><Traction><Grip>high</Grip>"
            "</Traction></Section></TrkDsc>");
  // One section more than a UInt16 Index can number: the last Index is refused.
  std::string many = "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\">";
  for (int i = 0; i <= 65536; ++i) many += "<Section><Index>" + std::to_string(i) + "</Index></Section>";
  WriteText(dir.File("many.xml"), many + "</TrkDsc>");
  WriteBytes(dir.File("object.3do"), MakeGameTrackSideFile());
  WriteBytes(dir.File("track.trk"), BuildTrk(ClosedCircuit()));
  const std::pair<std::string, std::string> cases[] = {
      {"export xml svg.xml out.xml",
       "svg.xml is not a track description: its document element is <svg> in the namespace "
       "\"http://www.w3.org/2000/svg\""},
      {"export xml bare.xml out.xml", "its document element is <TrkDsc> in no namespace"},
      {"export xml typed.xml out.xml",
       "where the error occurred\nElement Grip of Traction row 0 of Section row 1 holds \"high\", which is not a "
       "UInt16 value\n"},
      {"export xml many.xml out.xml",
       "There is a incorrectly typed value in your xml\nUsing Open XML you should be able to see from the tables where "
       "the error occurred\nElement Index of Section row 65536 holds \"65536\", which is not a UInt16 value\n"},
      {"import ptf object.3do out.xml",
       "object.3do: no track record: this looks like an object file (its first record is a LodSwitchDescriptor)"},
      {"import ptf svg.xml out.xml", "svg.xml: not a record file"},
      {"import ptf track.trk out.xml", "track.trk: not a record file"},
  };
  for (const auto& [args, said] : cases) {
    SCOPED_TRACE(args);
    CliResult r = RunCli(LAPFORGE_CLI, dir, args, "cd '" + dir.Path() + "' && ");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(dir.File("out.xml")));
  }
}

}  // namespace lapforge
