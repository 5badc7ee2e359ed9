#include <gtest/gtest.h>

#include <filesystem>

#include "description/DataSetXmlScan.h"
#include "description/TrkDsc.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

struct ScanCase {
  const char* what;
  std::string xml;
  bool scanned;      // whether the one-pass reader takes the document
  const char* name;  // the TrackSummary name it reads, or nullptr when the document fails
  const char* written = nullptr;  // a line the document writes back, when given
};

std::string Doc(const std::string& body, const std::string& head = "<?xml version=\"1.0\" standalone=\"yes\"?>\n") {
  return head + "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\">\n" + body + "</TrkDsc>\n";
}

std::string Named(const std::string& inner) { return Doc("<TrackSummary><Name>" + inner + "</Name></TrackSummary>"); }

// Every row value of every table, hidden keys included.
std::vector<CDataValue> AllValues(const CDataSet& ds) {
  std::vector<CDataValue> values;
  for (int t = 0; t < ds.TableCount(); ++t)
    for (int r = 0; r < ds.Table(t).Count(); ++r)
      for (int c = 0; c < ds.Table(t).ColumnCount(); ++c) values.push_back(ds.Table(t).Row(r).Value(c));
  return values;
}

class XmlScan : public testing::TestWithParam<ScanCase> {};

}  // namespace

// The one-pass reader and the tree reader agree on every document: the same
// rows and keys, or the same failure; the one-pass reader takes the plain
// ones and leaves the others (with the dataset as it found it).
TEST_P(XmlScan, AgreesWithTheTreeReader) {
  const ScanCase& c = GetParam();
  TrkDsc direct;
  EXPECT_EQ(ScanXmlDocument(direct, c.xml), c.scanned);
  if (!c.scanned) {
    EXPECT_TRUE(direct.IsBlank());
    EXPECT_EQ(direct.Counters(), TrkDsc().Counters());
  }

  TrkDsc quick, tree;
  tree.Section.SectionRowChanged().Connect([](RowAction, const CDataRow&) {});  // takes the tree reader
  std::string quickError, treeError;
  try {
    quick.ReadXmlText(c.xml);
  } catch (const CDataException& e) {
    quickError = e.what();
  }
  try {
    tree.ReadXmlText(c.xml);
  } catch (const CDataException& e) {
    treeError = e.what();
  }
  EXPECT_EQ(quickError, treeError);
  if (!c.name) {
    EXPECT_FALSE(quickError.empty());
    return;
  }
  ASSERT_EQ(quickError, "");
  EXPECT_TRUE(AllValues(quick) == AllValues(tree));
  EXPECT_EQ(quick.GetXml(), tree.GetXml());
  ASSERT_EQ(quick.TrackSummary.Count(), 1);
  EXPECT_EQ(quick.TrackSummary[0].Name(), c.name);
  if (c.written) { EXPECT_NE(quick.GetXml().find(c.written), std::string::npos) << quick.GetXml(); }
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlScan,
    testing::Values(
        ScanCase{"references", Named("a&lt;b&amp;c&gt;&quot;&apos;&#xD;&#233;&#x20AC;"), true,
                 "a<b&c>\"'\r\xC3\xA9\xE2\x82\xAC", "<Name>a&lt;b&amp;c&gt;\"'&#xD;\xC3\xA9\xE2\x82\xAC</Name>"},
        ScanCase{"line ends", Named("a\r\nb\rc\n"), true, "a\nb\nc\n"},
        ScanCase{"blank text kept", Named("  "), true, "  "},
        ScanCase{"empty element", Doc("<TrackSummary><Name/><Comment></Comment></TrackSummary>"), true, ""},
        ScanCase{"comments, BOM, no declaration",
                 "\xEF\xBB\xBF<!-- a -->\n" + Doc("<!--b--><TrackSummary><!-- c --><Name>n</Name></TrackSummary>", "") +
                     "<!-- d -->\n",
                 true, "n"},
        ScanCase{"unknown elements skipped",
                 Doc("<Weather kind='x'><Rain a=\"1\"><o:x xmlns:o='urn:o'/></Rain></Weather>"
                     "<TrackSummary><Colour>red<b/></Colour><Name>n</Name></TrackSummary>"),
                 true, "n"},
        ScanCase{"numbers in their shortest forms",
                 Doc("<TrackSummary><Name>n</Name><LengthMetres>100000</LengthMetres><LengthMiles>503600.0</LengthMiles>"
                     "<X_Origin>-0</X_Origin><Ambient>0.1</Ambient><ArcResolution>16777216</ArcResolution>"
                     "</TrackSummary>"),
                 true, "n", "<LengthMetres>1e+05</LengthMetres>\n    <LengthMiles>503600</LengthMiles>\n"
                            "    <X_Origin>-0</X_Origin>\n"},
        ScanCase{"float column", Doc("<TrackSummary><Name>n</Name><ArcResolution>0.1</ArcResolution></TrackSummary>"),
                 true, "n", "<ArcResolution>0.1</ArcResolution>"},
        ScanCase{"rows nested with their children",
                 Doc("<TrackSummary><Name>n</Name></TrackSummary><Section><Index>1</Index><Traction><Grip>2</Grip>"
                     "<TractionTexCoord><UCoord>1</UCoord></TractionTexCoord></Traction><Contour/></Section>"),
                 true, "n"},
        ScanCase{"a value after a child row",
                 Doc("<TrackSummary><Name>n</Name></TrackSummary><Section><Traction><Grip>2</Grip></Traction>"
                     "<Index>3</Index></Section>"),
                 false, "n"},
        ScanCase{"prefixed names", "<t:TrkDsc xmlns:t=\"http://tempuri.org/TrkDsc.xsd\"><t:TrackSummary><t:Name>n"
                                   "</t:Name></t:TrackSummary></t:TrkDsc>",
                 false, "n"},
        ScanCase{"namespace on a row", Doc("<TrackSummary xmlns='urn:o'><Name>x</Name></TrackSummary>"
                                           "<TrackSummary><Name>n</Name></TrackSummary>"),
                 false, "n"},
        ScanCase{"CDATA", Named("<![CDATA[a<b]]>"), false, "a<b"},
        ScanCase{"comment in a value", Named("a<!--x-->b"), false, "ab"},
        ScanCase{"unknown entity", Named("a&nbsp;b"), false, "a&nbsp;b"},
        ScanCase{"NUL reference", Doc("<TrackSummary><Name>n</Name><Comment>&#0;</Comment></TrackSummary>"), false,
                 "n"},
        ScanCase{"Latin-1", Named("caf\xE9").replace(0, 38, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
                 false, "caf\xC3\xA9"},
        ScanCase{"second root", Named("n") + "<TrkDsc/>", false, "n"},
        ScanCase{"mismatched end tag", Doc("<TrackSummary><Name>n</Nam></TrackSummary>"), false, nullptr},
        ScanCase{"unclosed document", "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\"><TrackSummary><Name>n</Name>",
                 false, nullptr},
        ScanCase{"mistyped value", Doc("<Section><Index>x</Index></Section>"), false, nullptr},
        ScanCase{"value beyond its range", Doc("<TrackSummary><Name>n</Name></TrackSummary><Section><Index>1</Index>"
                                           "<Traction><Grip>70000</Grip></Traction></Section>"),
                 false, nullptr},
        ScanCase{"other root", "<Other xmlns=\"http://tempuri.org/TrkDsc.xsd\"/>", false, nullptr}),
    [](const testing::TestParamInfo<ScanCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

// A file is read a window at a time: rows across the window's refills, and
// a row larger than the window (read through the tree instead), come back
// whole.
TEST(XmlRead, FilesLargerThanTheWindow) {
  CTempDir dir;
  for (size_t comment : {size_t(0), size_t(3) << 20}) {
    TrkDsc ds;
    FillCircuit(ds, 700, 12);
    if (comment) ds.TrackSummary[0].SetComment(std::string(comment, 'c'));
    ASSERT_TRUE(ds.WriteXml(dir.File("big.xml")));
    TrkDsc back;
    ASSERT_TRUE(back.ReadXml(dir.File("big.xml")));
    EXPECT_EQ(back.Traction.Count(), 700 * 12);
    EXPECT_EQ(back.GetXml(), ds.GetXml());
  }
}

// A text XML cannot hold, written after the first blocks of a big
// document have gone to the file, still leaves the old file as it was and
// no temporary file beside it.
TEST(XmlWrite, RefusedLateLeavesTheOldFile) {
  CTempDir dir;
  TrkDsc ds;
  FillCircuit(ds, 600, 12);
  TrkDsc::TractionTexRow r = ds.TractionTex.NewTractionTexRow();
  r.SetGrip(1);
  r.SetTex(std::string("late\x01"));
  ds.TractionTex.AddTractionTexRow(r);
  WriteText(dir.File("kept.xml"), "before");
  std::string error;
  EXPECT_FALSE(Ok(ds.WriteXml(dir.File("kept.xml")), error));
  EXPECT_NE(error.find("column 'Tex' of table 'TractionTex'"), std::string::npos) << error;
  EXPECT_EQ(ReadText(dir.File("kept.xml")), "before");
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1);
}

}  // namespace lapforge
