// Inputs that are not what a command takes, or that hold values no track
// can have: the command says what it found, ends with status 1 where it
// cannot do its work, and never writes a file that misrepresents its input.
#include <gtest/gtest.h>

#include "tests/support/CliRun.h"
#include "tests/support/TestSupport.h"
#include "tests/support/gpl/TrkBuilder.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/ptf/RecordTrees.h"

namespace {

CliResult Lapforge(const CTempDir& dir, const std::string& args) { return RunCli(LAPFORGE_CLI, dir, args); }

const std::string kSample = LAPFORGE_SOURCE_DIR "/examples/sample-circuit.xml";

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

// The sample circuit with one element's text replaced.
void WriteSampleWith(const std::string& path, const std::string& element, const std::string& text) {
  std::string xml = ReadText(kSample);
  const size_t at = xml.find("<" + element + ">");
  const size_t end = xml.find("</" + element + ">", at);
  xml.replace(at + element.size() + 2, end - at - element.size() - 2, text);
  WriteText(path, xml);
}

}  // namespace

TEST(CliHostileInput, FilesOfAnotherKindAreRefusedNamingWhatWasFound) {
  CTempDir dir;
  WriteText(dir.File("svg.xml"), "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"><g/></svg>\n");
  WriteText(dir.File("bare.xml"), "<TrkDsc><Section><Length>10</Length></Section></TrkDsc>\n");
  WriteText(dir.File("typed.xml"),
            "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><Section/><Section><Traction><Grip>high</Grip>"
            "</Traction></Section></TrkDsc>");
  WriteBytes(dir.File("object.3do"), MakeGameTrackSideFile());
  WriteBytes(dir.File("track.trk"), BuildTrk(ClosedCircuit()));
  const std::pair<std::string, std::string> cases[] = {
      {"export xml svg.xml out.xml",
       "svg.xml is not a track description: its document element is <svg> in the namespace "
       "\"http://www.w3.org/2000/svg\""},
      {"export xml bare.xml out.xml", "its document element is <TrkDsc> in no namespace"},
      {"export ptf bare.xml out.ptf", "its document element is <TrkDsc> in no namespace"},
      {"export xml typed.xml out.xml",
       "where the error occurred\nElement Grip of Traction row 0 of Section row 1 holds \"high\", which is not a "
       "UInt16 value\n"},
      {"import ptf object.3do out.xml",
       "object.3do: no track record: this looks like an object file (its first record is a LodSwitchDescriptor)"},
      {"import ptf svg.xml out.xml", "svg.xml: not a record file"},
      {"import ptf track.trk out.xml", "track.trk: not a record file"},
      {"inspect svg.xml", "svg.xml: not a record file"},
  };
  for (const auto& [args, said] : cases) {
    SCOPED_TRACE(args);
    CliResult r = RunCli(LAPFORGE_CLI, dir, args, "cd '" + dir.Path() + "' && ");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(dir.File("out.xml")));
    EXPECT_FALSE(Exists(dir.File("out.ptf")));
  }
}

// A file holding a record the program reads but does not model is written
// back whole, and the copy lists as the original does.
TEST(CliHostileInput, RewrittenTransformReadsBack) {
  CTempDir dir;
  CRecordBytes b;
  b.Record(1, 2, "TransformDescriptor").Header("xf", 1).Block(104, {{0, 0x3F800000}, {100, 7}});
  b.Record(3, 4, "EmptyDescriptor").U32(1).U32(0);
  WriteBytes(dir.File("xf.3do"), b.Bytes());
  CliResult r = Lapforge(dir, "inspect --rewrite '" + dir.File("xf.3do") + "' '" + dir.File("copy.3do") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir.File("copy.3do")), b.Bytes());
  CliResult original = Lapforge(dir, "inspect '" + dir.File("xf.3do") + "'");
  CliResult copy = Lapforge(dir, "inspect '" + dir.File("copy.3do") + "'");
  EXPECT_EQ(copy.status, 0) << copy.err;
  EXPECT_EQ(copy.out, original.out);
}

// A number that is not finite is a check error on one line of its own, the
// export refuses the description, and the map leaves it out of the picture.
TEST(CliHostileInput, NonFiniteNumberIsACheckErrorAndStaysOutOfTheMap) {
  CTempDir dir;
  WriteSampleWith(dir.File("nan.xml"), "NS_Angle", "NaN");
  CliResult r = Lapforge(dir, "check '" + dir.File("nan.xml") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.out.rfind("error: TrackSummary row 0: NS_Angle is NaN: every number of a description must be finite\n", 0), 0u)
      << r.out;
  r = Lapforge(dir, "export ptf '" + dir.File("nan.xml") + "' '" + dir.File("out.ptf") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(Exists(dir.File("out.ptf")));
  r = Lapforge(dir, "map '" + dir.File("nan.xml") + "' '" + dir.File("map.svg") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadText(dir.File("map.svg")).find("nan"), std::string::npos);

  // A section of negative length: every finding on a line of its own, each
  // line starting with its severity.
  WriteSampleWith(dir.File("neg.xml"), "Length", "-225");
  r = Lapforge(dir, "check '" + dir.File("neg.xml") + "'");
  EXPECT_EQ(r.status, 1);
  size_t start = 0;
  for (size_t end = r.out.find('\n'); end != std::string::npos; start = end + 1, end = r.out.find('\n', start)) {
    const std::string line = r.out.substr(start, end - start);
    EXPECT_TRUE(line.rfind("error: ", 0) == 0 || line.rfind("warning: ", 0) == 0 ||
                line.find("error(s)") != std::string::npos)
        << line;
  }
}
