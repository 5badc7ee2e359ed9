#include <gtest/gtest.h>

#include <cmath>

#include "description/TrkDsc.h"
#include "support/Errors.h"
#include "tests/support/ResultCheck.h"
#include "tests/support/TestSupport.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

const char* kHead = "<?xml version=\"1.0\" standalone=\"yes\"?>\n";

std::string Doc(const std::string& body) {
  return std::string(kHead) + "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\">\n" + body + "</TrkDsc>\n";
}

}  // namespace

TEST(TrkDscDocument, EmptyDatasetWritesBareRootAndReadsBackEmpty) {
  TrkDsc ds;
  EXPECT_EQ(ds.GetXml(), std::string(kHead) + "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\">\n</TrkDsc>\n");
  TrkDsc back;
  back.ReadXmlText(ds.GetXml());
  ASSERT_EQ(back.TableCount(), 18);
  for (int t = 0; t < back.TableCount(); ++t) EXPECT_EQ(back.Table(t).Count(), 0) << back.Table(t).Name();
}

TEST(TrkDscDocument, NestedChildrenWrittenInOrderWithoutHiddenKeys) {
  TrkDsc ds;
  auto s = ds.Section.AddSectionRow(3, 0, 0.0, 50.5, 0.0, 0.0, 0.0, 0.0);
  for (int t = 0; t < 2; ++t) {
    auto tr = ds.Traction.NewTractionRow();
    tr.SetLat_Start(-1.5 + t);
    tr.SetGrip(static_cast<uint16_t>(t + 1));
    tr.SetSectionRow(s);
    ds.Traction.AddTractionRow(tr);
    ds.TractionTexCoord.AddTractionTexCoordRow(int8_t(t), 0.5f, 0.1f, tr);
  }
  auto m = ds.Material.NewMaterialRow();
  m.SetLLE_String("a & b");
  ds.Material.AddMaterialRow(m);
  // Worked out from the document layout: defaults (Start 0, Split 0,
  // Straighten false) are values and are written; nulls are not.
  std::string expected =
      Doc("  <Section>\n"
          "    <Index>3</Index>\n    <Type>0</Type>\n    <Start>0</Start>\n    <Length>50.5</Length>\n"
          "    <Angle_Start>0</Angle_Start>\n    <Angle_Change>0</Angle_Change>\n    <Radius>0</Radius>\n"
          "    <Split>0</Split>\n"
          "    <Traction>\n      <Lat_Start>-1.5</Lat_Start>\n      <Grip>1</Grip>\n"
          "      <Straighten>false</Straighten>\n"
          "      <TractionTexCoord>\n        <Surface>0</Surface>\n        <UCoord>0.5</UCoord>\n"
          "        <VCoord>0.1</VCoord>\n      </TractionTexCoord>\n"
          "    </Traction>\n"
          "    <Traction>\n      <Lat_Start>-0.5</Lat_Start>\n      <Grip>2</Grip>\n"
          "      <Straighten>false</Straighten>\n"
          "      <TractionTexCoord>\n        <Surface>1</Surface>\n        <UCoord>0.5</UCoord>\n"
          "        <VCoord>0.1</VCoord>\n      </TractionTexCoord>\n"
          "    </Traction>\n"
          "  </Section>\n"
          "  <Material>\n    <LLE_x0020_String>a &amp; b</LLE_x0020_String>\n  </Material>\n");
  EXPECT_EQ(ds.GetXml(), expected);

  TrkDsc back;
  back.ReadXmlText(expected);
  ASSERT_EQ(back.Traction.Count(), 2);
  EXPECT_EQ(back.Material[0].LLE_String(), "a & b");
  auto rows = back.Section[0].GetTractionRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Grip(), 1);
  EXPECT_EQ(rows[1].Grip(), 2);
  EXPECT_EQ(rows[1].GetTractionTexCoordRows().at(0).Surface(), 1);
  EXPECT_EQ(rows[1].SectionRow(), back.Section[0]);
  EXPECT_EQ(back.GetXml(), expected);
}

TEST(TrkDscDocument, EveryTableRoundTripsToTheSameDocument) {
  TrkDsc ds;
  FillEveryTable(ds);
  for (int t = 0; t < ds.TableCount(); ++t) EXPECT_GT(ds.Table(t).Count(), 0) << ds.Table(t).Name();
  std::string first = ds.GetXml();
  EXPECT_EQ(first.find("_Id>"), std::string::npos);  // hidden keys never written
  EXPECT_NE(first.find("<X>INF</X>"), std::string::npos);
  EXPECT_NE(first.find("<Y>-INF</Y>"), std::string::npos);
  EXPECT_NE(first.find("<Z>NaN</Z>"), std::string::npos);
  EXPECT_NE(first.find("<Name>Test &amp; &lt;Track&gt;</Name>"), std::string::npos);
  EXPECT_NE(first.find("<index>1099511627776</index>"), std::string::npos);
  EXPECT_NE(first.find("<Length>157.07963267948966</Length>"), std::string::npos);
  EXPECT_NE(first.find("<Height>0.1</Height>"), std::string::npos);  // f32 judged as f32

  TrkDsc back;
  back.ReadXmlText(first);
  for (int t = 0; t < ds.TableCount(); ++t) EXPECT_EQ(back.Table(t).Count(), ds.Table(t).Count()) << ds.Table(t).Name();
  EXPECT_TRUE(std::isnan(back.TSO[0].Z()));
  EXPECT_EQ(back.TractionTexCoord[1].TractionRow(), back.Traction[0]);
  EXPECT_EQ(back.Mesh[0].SectionRow(), back.Section[1]);
  EXPECT_EQ(back.GetXml(), first);
}

TEST(TrkDscDocument, DefaultsAndNeutralReadsOnLoad) {
  TrkDsc ds;
  ds.ReadXmlText(Doc("  <TSO>\n    <Name>a</Name>\n  </TSO>\n  <InfieldObj>\n    <Title>i</Title>\n  </InfieldObj>\n"));
  auto tso = ds.TSO[0];
  EXPECT_EQ(tso.X(), 20.0);  // column default
  EXPECT_TRUE(tso.IsYNull());
  EXPECT_EQ(tso.Y(), 0.0);  // neutral read
  EXPECT_TRUE(tso.WorldXYZ());
  EXPECT_FALSE(tso.WorldAngle());
  EXPECT_TRUE(ds.InfieldObj[0].Left());
  ds.InfieldObj[0].SetLeftNull();
  EXPECT_FALSE(ds.InfieldObj[0].Left());
  EXPECT_NE(ds.GetXml().find("<X>20</X>"), std::string::npos);

  auto fresh = ds.InfieldObj.NewInfieldObjRow();
  EXPECT_TRUE(fresh.Left());
  ds.InfieldObj.AddInfieldObjRow(fresh);
  auto mat = ds.Material.NewMaterialRow();
  EXPECT_EQ(mat.Transparency(), 0);
  try {
    (void)mat.MapName();
    FAIL() << "a null text read must fail";
  } catch (const CStrongTypingException& e) {
    EXPECT_STREQ(e.what(), "Cannot get value because it is DBNull.");
  }
  auto wall = ds.WallTex.NewWallTexRow();
  EXPECT_EQ(wall.MinTexV(), 1.0f);
  EXPECT_EQ(wall.FirstSection(), 0);
  EXPECT_THROW((void)wall.Grip(), CStrongTypingException);
  EXPECT_EQ(ds.PtfBumpDef.NewPtfBumpDefRow().size1(), 0.1f);
  EXPECT_FALSE(ds.AIInfo.NewAIInfoRow().PollPositionLeft());
}

TEST(TrkDscDocument, BadValuesFailTheWholeRead) {
  const std::string bad =
      Doc("  <Section>\n    <Index>0</Index>\n    <Traction>\n      <Grip>abc</Grip>\n    </Traction>\n  </Section>\n");
  TrkDsc ds;
  EXPECT_THROW(ds.ReadXmlText(bad), CDataFormatException);
  EXPECT_EQ(ds.Section.Count(), 0);
  EXPECT_EQ(ds.Traction.Count(), 0);

  for (const char* body :
       {"<Section><Index>65536</Index></Section>", "<Section><Type>-129</Type></Section>",
        "<Section><Length>1,5</Length></Section>", "<TrackSummary><Night_Track>yes</Night_Track></TrackSummary>",
        "<Section><Length>inf</Length></Section>"}) {
    TrkDsc d;
    EXPECT_THROW(d.ReadXmlText(Doc(body)), CDataFormatException) << body;
  }
  TrkDsc notXml;
  try {
    notXml.ReadXmlText("<TrkDsc><Section>");
    FAIL();
  } catch (const CDataFormatException&) {
    FAIL() << "malformed XML is not a typing failure";
  } catch (const CDataException&) {
  }
  TrkDsc missing;
  EXPECT_EQ(missing.ReadXml("/nonexistent/track.xml").status, Status::CannotRead);
}

// A refused value is named by its element, its row (within its parent rows
// for nested tables) and the value, cut short when long.
TEST(TrkDscDocument, RefusedValueIsNamedWithItsElementRowAndValue) {
  for (auto [body, text] :
       {std::pair{"<Section><Traction/><Traction><TractionTexCoord><UCoord>u</UCoord></TractionTexCoord></Traction>"
                  "</Section>",
                  "Element UCoord of TractionTexCoord row 0 of Traction row 1 of Section row 0 holds \"u\""},
        {"<Section/><Section><Index>65536123456789012345678901234567890123456789</Index></Section>",
         "Element Index of Section row 1 holds \"6553612345678901234567890123456789012345...\", which is not a UInt16"}}) {
    TrkDsc ds;
    try {
      ds.ReadXmlText(Doc(body));
      ADD_FAILURE() << body;
    } catch (const CDataFormatException& e) {
      EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
  }
}

TEST(TrkDscDocument, LexicalFormsAccepted) {
  TrkDsc ds;
  ds.ReadXmlText(
      Doc("<Section><Index> 7 </Index><Length>1E3</Length><Angle_Change>-INF</Angle_Change>"
          "<Radius>+2.5e-1</Radius></Section><AIInfo><PollPositionLeft>1</PollPositionLeft></AIInfo>"));
  EXPECT_EQ(ds.Section[0].Index(), 7);
  EXPECT_EQ(ds.Section[0].Length(), 1000.0);
  EXPECT_EQ(ds.Section[0].Angle_Change(), -INFINITY);
  EXPECT_EQ(ds.Section[0].Radius(), 0.25);
  EXPECT_TRUE(ds.AIInfo[0].PollPositionLeft());
  EXPECT_NE(ds.GetXml().find("<Length>1000</Length>"), std::string::npos);
}

TEST(TrkDscDocument, DocumentsOfOtherToolsLoad) {
  // A byte-order mark, CRLF line ends and a namespace prefix instead of the
  // default declaration.
  TrkDsc ds;
  ds.ReadXmlText(
      "\xEF\xBB\xBF<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
      "<d:TrkDsc xmlns:d=\"http://tempuri.org/TrkDsc.xsd\">\r\n  <d:Material>\r\n"
      "    <d:MateralName>road01</d:MateralName>\r\n    <d:LLE_x0020_String> two  blanks </d:LLE_x0020_String>\r\n"
      "    <d:Transparency>\r\n3\r\n</d:Transparency>\r\n  </d:Material>\r\n</d:TrkDsc>\r\n");
  ASSERT_EQ(ds.Material.Count(), 1);
  EXPECT_EQ(ds.Material[0].MateralName(), "road01");
  EXPECT_EQ(ds.Material[0].LLE_String(), " two  blanks ");  // text kept as it stands
  EXPECT_EQ(ds.Material[0].Transparency(), 3);
}

TEST(TrkDscDocument, UnknownElementsAndForeignNamespacesIgnored) {
  TrkDsc ds;
  ds.ReadXmlText(
      "<TrkDsc xmlns=\"http://tempuri.org/TrkDsc.xsd\" xmlns:o=\"urn:other\">"
      "<Section><Index>1</Index><Colour>red</Colour><o:Length>9</o:Length>"
      "<Traction><Grip>2</Grip><Extra/></Traction></Section>"
      "<Weather><Rain>1</Rain></Weather><o:Section><Index>2</Index></o:Section>"
      "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" id=\"TrkDsc\"><xs:element name=\"Section\"/>"
      "</xs:schema></TrkDsc>");
  ASSERT_EQ(ds.Section.Count(), 1);
  EXPECT_TRUE(ds.Section[0].IsLengthNull());
  EXPECT_EQ(ds.Traction.Count(), 1);
  std::string out = ds.GetXml();
  EXPECT_EQ(out.find("Colour"), std::string::npos);
  EXPECT_EQ(out.find("Weather"), std::string::npos);

  // A document in another namespace holds nothing of ours: it is refused
  // rather than read as an empty description.
  TrkDsc other;
  EXPECT_THROW(other.ReadXmlText("<TrkDsc xmlns=\"urn:x\"><Section><Index>1</Index></Section></TrkDsc>"),
               CDataException);
  EXPECT_EQ(other.Section.Count(), 0);
}

// Documents that are not descriptions, and what the refusal says was found.
TEST(TrkDscDocument, OtherDocumentsAreRefusedNamingTheirRootElement) {
  for (auto [xml, found] : {std::pair{"<TrkDsc/>", "<TrkDsc> in no namespace"},
                            {"<x:TrkDsc xmlns:x=\"urn:y\"/>", "<x:TrkDsc> in the namespace \"urn:y\""}}) {
    TrkDsc ds;
    try {
      ds.ReadXmlText(xml);
      ADD_FAILURE() << xml;
    } catch (const CDataException& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("its document element is ") + found), std::string::npos);
    }
  }
}

TEST(TrkDscRelations, KeysAreFreshPerReadAndFollowDocumentOrder) {
  TrkDsc a;
  a.Section.AddSectionRow(0, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);  // key 0
  a.Section.RemoveSectionRow(a.Section[0]);                     // the counters go on
  auto s = a.Section.AddSectionRow(1, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);
  EXPECT_EQ(s.Section_Id(), 1);
  TrkDsc b;
  b.ReadXmlText(a.GetXml());
  EXPECT_EQ(b.Section[0].Section_Id(), 0);
}

TEST(TrkDscRelations, CascadeDeleteAndKeyUpdate) {
  TrkDsc ds;
  auto s0 = ds.Section.AddSectionRow(0, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);
  auto s1 = ds.Section.AddSectionRow(1, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);
  auto t = ds.Traction.AddTractionRow(0.0, 0.0, 1, 0, false, 0.0f, 0.0f, 0.0f, 0.0f, s0);
  ds.TractionTexCoord.AddTractionTexCoordRow(0, 0.0f, 0.0f, t);
  ds.Contour.AddContourRow(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, s0);
  ds.Mesh.AddMeshRow(1.0f, 1.0f, 1.0f, s0);
  ds.Traction.AddTractionRow(1.0, 1.0, 1, 0, false, 0.0f, 0.0f, 0.0f, 0.0f, s1);

  // A key change is carried to the children.
  s0.SetSection_Id(100);
  EXPECT_EQ(t.Section_Id(), 100);
  EXPECT_EQ(s0.GetTractionRows().size(), 1u);
  EXPECT_EQ(s0.GetContourRows().size(), 1u);

  // Duplicate keys and not-null columns are refused.
  EXPECT_THROW(s1.SetSection_Id(100), CDataException);
  auto wall = ds.WallTex.NewWallTexRow();
  EXPECT_THROW(ds.WallTex.AddWallTexRow(wall), CDataException);
  EXPECT_EQ(ds.WallTex.Count(), 0);
  wall.SetGrip(2049);
  ds.WallTex.AddWallTexRow(wall);
  EXPECT_THROW(wall.SetGripNull(), CDataException);
  EXPECT_THROW(ds.TSO.AddTSORow(nullptr), CDataException);

  ds.Section.RemoveSectionRow(s0);
  EXPECT_EQ(ds.Section.Count(), 1);
  EXPECT_EQ(ds.Traction.Count(), 1);
  EXPECT_EQ(ds.TractionTexCoord.Count(), 0);
  EXPECT_EQ(ds.Contour.Count(), 0);
  EXPECT_EQ(ds.Mesh.Count(), 0);
}

TEST(TrkDscRelations, ReparentingKeepsTableOrder) {
  TrkDsc ds;
  auto s0 = ds.Section.AddSectionRow(0, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);
  auto s1 = ds.Section.AddSectionRow(1, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);
  auto a = ds.Traction.AddTractionRow(1.0, 1.0, 1, 0, false, 0.0f, 0.0f, 0.0f, 0.0f, s1);
  auto b = ds.Traction.AddTractionRow(2.0, 2.0, 1, 0, false, 0.0f, 0.0f, 0.0f, 0.0f, s0);
  auto c = ds.Traction.AddTractionRow(3.0, 3.0, 1, 0, false, 0.0f, 0.0f, 0.0f, 0.0f, s1);
  b.SetSectionRow(s1);
  auto rows = s1.GetTractionRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], a);
  EXPECT_EQ(rows[1], b);
  EXPECT_EQ(rows[2], c);
  EXPECT_TRUE(s0.GetTractionRows().empty());
  // An orphan stays in the document at the top level and comes back.
  c.SetSectionRow(TrkDsc::SectionRow());
  EXPECT_FALSE(c.SectionRow());
  TrkDsc back;
  back.ReadXmlText(ds.GetXml());
  EXPECT_EQ(back.Traction.Count(), 3);
  EXPECT_EQ(back.Section[1].GetTractionRows().size(), 2u);
}

TEST(TrkDscRelations, ChangeNotificationsBeforeAndAfter) {
  TrkDsc ds;
  std::vector<std::string> log;
  ds.Section.SectionRowChanging().Connect(
      [&](RowAction a, const CDataRow&) { log.push_back("changing" + std::to_string(int(a))); });
  ds.Section.SectionRowChanged().Connect(
      [&](RowAction a, const CDataRow&) { log.push_back("changed" + std::to_string(int(a))); });
  ds.Section.SectionRowDeleting().Connect([&](RowAction, const CDataRow&) { log.push_back("deleting"); });
  ds.Section.SectionRowDeleted().Connect([&](RowAction, const CDataRow&) { log.push_back("deleted"); });
  auto s = ds.Section.AddSectionRow(0, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0);
  s.SetLength(2.0);
  s.SetLength(2.0);  // no change, no notification
  ds.Section.RemoveSectionRow(s);
  std::vector<std::string> expected = {"changing0", "changed0", "changing1", "changed1", "deleting", "deleted"};
  EXPECT_EQ(log, expected);
}

TEST(TrkDscRelations, NumbersConvertToTheColumnKind) {
  TrkDsc ds;
  // Integers given for real columns and reals for integer columns.
  auto s = ds.Section.AddSectionRow(2.0, 1, 5, 100, 0, 90, -50, 0);
  EXPECT_EQ(s.Index(), 2);
  EXPECT_EQ(s.Start(), 5.0);
  EXPECT_EQ(s.Length(), 100.0);
  EXPECT_EQ(s.Radius(), -50.0);
  auto t = ds.Traction.AddTractionRow(-3, 3, 2.5, 3.5, false, 1, 1, 0, 0, s);
  EXPECT_EQ(t.Grip(), 2);  // ties go to the even neighbour
  EXPECT_EQ(t.TextureIndex(), 4);
  EXPECT_EQ(t.Lat_Start(), -3.0);
  EXPECT_EQ(t.Height(), 1.0f);
}

TEST(TrkDscRelations, TypedLayerMisuse) {
  TrkDsc ds;
  EXPECT_THROW(ds.Section[0], CInvalidArgument);
  EXPECT_THROW(ds.Section.AddSectionRow(0, 0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0), CDataException);
  EXPECT_EQ(ds.Section.Count(), 0);
  EXPECT_THROW((void)TrkDsc::SectionRow().Length(), CInvalidArgument);
  EXPECT_THROW(ds.Section.AddSectionRow(70000), CDataException);  // out of the u16 range
  EXPECT_EQ(ds.Section.IndexColumn(), 0);
  EXPECT_EQ(ds.Section.Section_IdColumn(), 8);
  auto clone = ds.Clone();
  EXPECT_EQ(clone->TableCount(), 18);
}

TEST(TrkDscRelations, FallbackAndCopyTakeANullColumnAsAbsent) {
  TrkDsc ds;
  ds.ReadXmlText(Doc("  <TrackSummary>\n    <Name>n</Name>\n    <ArcResolution>2.5</ArcResolution>\n"
                     "  </TrackSummary>\n  <TSO>\n    <Name>a</Name>\n  </TSO>\n"));
  auto s = ds.TrackSummary[0];
  EXPECT_THROW((void)s.Ambient(), CStrongTypingException);
  EXPECT_EQ(s.AmbientOr(0.6), 0.6);
  EXPECT_EQ(ds.TSO[0].YOr(7.0), 7.0);  // not the neutral read's 0
  // A float column with a double fallback gives the double unrounded.
  EXPECT_EQ(s.LateralResolutionOr(0.1), 0.1);
  EXPECT_EQ(s.ArcResolutionOr(0.1), 2.5);
  EXPECT_EQ(s.CommentOr("none"), "none");
  double v = -1;
  int night = -1;
  std::string name;
  EXPECT_FALSE(s.CopyAmbient(v));
  EXPECT_FALSE(s.CopyNight_Track(night));
  EXPECT_EQ(v, -1);
  EXPECT_EQ(night, -1);
  EXPECT_TRUE(s.CopyArcResolution(v));
  EXPECT_TRUE(s.CopyName(name));
  EXPECT_EQ(v, 2.5);
  EXPECT_EQ(name, "n");
}

TEST(TrkDscDocument, NumbersBeyondTheRangeAndDoubleSigns) {
  // Beyond the range of the column's type: INF or -INF above it, a zero of
  // the number's sign below it, in double and single columns alike.
  TrkDsc ds;
  ds.ReadXmlText(
      Doc("<Section><Length>1e400</Length><Radius>-1e400</Radius><Start>-1e-400</Start>"
          "<Angle_Start>1000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "0000000000000000000000</Angle_Start><Angle_Change>0.00000000001e-330</Angle_Change></Section>"
          "<TrackSummary><LongitudinalResolution>1e39</LongitudinalResolution>"
          "<LateralResolution>-3.5e38</LateralResolution><ArcResolution>1e-50</ArcResolution></TrackSummary>"));
  EXPECT_EQ(ds.Section[0].Length(), INFINITY);
  EXPECT_EQ(ds.Section[0].Radius(), -INFINITY);
  EXPECT_EQ(ds.Section[0].Start(), 0.0);
  EXPECT_TRUE(std::signbit(ds.Section[0].Start()));
  EXPECT_EQ(ds.Section[0].Angle_Start(), INFINITY);  // 1 followed by 317 zeroes
  EXPECT_EQ(ds.Section[0].Angle_Change(), 0.0);
  EXPECT_EQ(ds.TrackSummary[0].LongitudinalResolution(), INFINITY);
  EXPECT_EQ(ds.TrackSummary[0].LateralResolution(), -INFINITY);
  EXPECT_EQ(ds.TrackSummary[0].ArcResolution(), 0.0f);
  // One sign only.
  for (const char* body : {"<Section><Length>+-3</Length></Section>", "<Section><Length>++3</Length></Section>",
                           "<Section><Index>+-3</Index></Section>", "<Section><Type>+-3</Type></Section>",
                           "<Section><Length>+-1e400</Length></Section>", "<Section><Length>1e400x</Length></Section>"}) {
    TrkDsc d;
    EXPECT_THROW(d.ReadXmlText(Doc(body)), CDataFormatException) << body;
  }
}

TEST(TrkDscDocument, ControlCharactersAreRefusedWithTheColumnNamed) {
  CTempDir dir;
  TrkDsc ds;
  TrkDsc::TractionTexRow r = ds.TractionTex.NewTractionTexRow();
  r.SetGrip(1);
  r.SetTex("tab\tline\ncr\r ok");
  ds.TractionTex.AddTractionTexRow(r);
  // Tab, line feed and carriage return are kept (the last as a reference).
  EXPECT_NE(ds.GetXml().find("<Tex>tab\tline\ncr&#xD; ok</Tex>"), std::string::npos);
  for (char bad : {'\x01', '\x1f', '\0'}) {
    ds.TractionTex[0].SetTex(std::string("ab") + bad);
    try {
      ds.GetXml();
      FAIL() << int(bad);
    } catch (const CDataFormatException& e) {
      EXPECT_NE(std::string(e.what()).find("column 'Tex' of table 'TractionTex'"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("position 3"), std::string::npos) << e.what();
    }
    std::string error;
    WriteText(dir.File("kept.xml"), "before");
    EXPECT_FALSE(Ok(ds.WriteXml(dir.File("kept.xml")), error));
    EXPECT_NE(error.find("'Tex'"), std::string::npos);
    EXPECT_EQ(ReadText(dir.File("kept.xml")), "before");
  }
}

TEST(TrkDscFiles, WriteReplacesAtomicallyAndReportsFailure) {
  CTempDir dir;
  TrkDsc ds;
  FillEveryTable(ds);
  std::string error;
  ASSERT_TRUE(Ok(ds.WriteXml(dir.File("a.xml")), error)) << error;
  TrkDsc back;
  ASSERT_TRUE(back.ReadXml(dir.File("a.xml")));
  EXPECT_EQ(back.GetXml(), ds.GetXml());
  EXPECT_FALSE(Ok(ds.WriteXml(dir.File("missing/a.xml")), error));
  EXPECT_FALSE(error.empty());
}

TEST(TrkDscDocument, LargeCircuitRoundTripsWithEveryChildRow) {
  // Enough rows that the key indexes leave their first layouts behind.
  TrkDsc ds;
  FillCircuit(ds, 600, 12);
  const std::string first = ds.GetXml();
  TrkDsc back;
  back.ReadXmlText(first);
  EXPECT_EQ(back.Traction.Count(), 600 * 12);
  EXPECT_EQ(back.TractionTexCoord.Count(), 600 * 2);
  EXPECT_EQ(back.Contour.Count(), 600 * 2);
  EXPECT_EQ(back.GetXml(), first);
}

}  // namespace lapforge
