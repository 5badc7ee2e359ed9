// The settings store and the pickers, without a display: a scripted dialog
// double records what each picker proposes.
#include <gtest/gtest.h>

#include "support/Browser.h"
#include "support/RegOption.h"
#include "tests/support/TestSupport.h"

namespace lapforge {

namespace {

class CScriptedDialogs : public CFileDialogs {
 public:
  std::string answer;
  FileDialogRequest last;
  std::string preselected;
  std::string OpenFile(const FileDialogRequest& r) override {
    last = r;
    return answer;
  }
  std::string SaveFile(const FileDialogRequest& r) override {
    last = r;
    return answer;
  }
  std::string PickFolder(const std::string& p) override {
    preselected = p;
    return answer;
  }
};

}  // namespace

TEST(RegOption, DefaultsKindsAndAtomicFile) {
  CScopedSettings settings;
  EXPECT_EQ(CRegOption::GetOption("WriteN4PTF", 0), 0);
  EXPECT_EQ(CRegOption::GetOption("TRKFromGPLTRK", 1), 1);
  EXPECT_FALSE(Exists(settings.File()));  // reading never creates the file
  ASSERT_TRUE(CRegOption::SetOption("WriteN4PTF", 1));
  EXPECT_EQ(CRegOption::GetOption("WriteN4PTF", 0), 1);
  EXPECT_EQ(CRegOption::GetOption("writen4ptf", 0), 1);  // value names ignore case, as the registry does

  // Text values: one character or none counts as absent.
  ASSERT_TRUE(CRegOption::SetOption("XMLName", "x"));
  EXPECT_EQ(CRegOption::GetOption("XMLName", "none"), "none");
  ASSERT_TRUE(CRegOption::SetOption("XMLName", "/tracks/a b.xml"));
  EXPECT_EQ(CRegOption::GetOption("XMLName", "none"), "/tracks/a b.xml");
  // A text holding a number reads as that integer; an integer as text is its digits.
  ASSERT_TRUE(CRegOption::SetOption("Level", "42"));
  EXPECT_EQ(CRegOption::GetOption("Level", 0), 42);

  // Values keep their order and kinds; rewriting one keeps the others.
  ASSERT_TRUE(CRegOption::SetOption("WriteN4PTF", 0));
  auto all = CRegOption::AllStored();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].name, "WriteN4PTF");
  EXPECT_TRUE(all[0].isInteger);
  EXPECT_EQ(all[0].integer, 0);
  EXPECT_EQ(all[1].text, "/tracks/a b.xml");
  std::string text = ReadText(settings.File());
  EXPECT_NE(text.find("WriteN4PTF=dword:0"), std::string::npos);
}

TEST(RegOption, AnyTextReadsBackExactlyAndCannotInjectAnotherSetting) {
  CScopedSettings settings;
  // A line break in a stored text must not start another setting.
  ASSERT_TRUE(CRegOption::SetOption("XMLName", "x\nWriteN4PTF=dword:1"));
  EXPECT_EQ(CRegOption::GetOption("WriteN4PTF", 0), 0);
  EXPECT_EQ(CRegOption::GetOption("XMLName", ""), "x\nWriteN4PTF=dword:1");
  EXPECT_EQ(CRegOption::AllStored().size(), 1u);
  const std::string texts[] = {" lead.xml",      "trail.xml ",     "  ",      "tab\there",   "cr\r",
                               "back\\slash\\", "\"quoted\"",     "\"a",     "dword:7",     "sz:dword:7",
                               "bell\x07\x7f",  "[Software]\n;x", "=\"\\x\"", "plain é.xml"};
  for (const std::string& t : texts) {
    ASSERT_TRUE(CRegOption::SetOption("PTFName", t)) << t;
    EXPECT_EQ(CRegOption::GetOption("PTFName", "none"), t);
    EXPECT_EQ(CRegOption::AllStored().size(), 2u) << t;
  }
  // A text that needs no quoting is stored as itself; one that does, quoted
  // and escaped; the file holds one line per setting.
  ASSERT_TRUE(CRegOption::SetOption("PTFName", "/tracks/a b.ptf"));
  ASSERT_TRUE(CRegOption::SetOption("3DSName", " a\\b\t\"c\" "));
  EXPECT_EQ(ReadText(settings.File()),
            "[Software\\Brisvane\\Lapforge]\n"
            "XMLName=\"x\\nWriteN4PTF=dword:1\"\n"
            "PTFName=/tracks/a b.ptf\n"
            "3DSName=\" a\\\\b\\t\\\"c\\\" \"\n");
  // Names that would break the file are refused.
  for (const char* bad : {"A\nB", "A=B", "[A", ";A", "", " A"}) EXPECT_FALSE(CRegOption::SetOption(bad, "v")) << bad;
}

TEST(RegOption, FilesWrittenBeforeStillRead) {
  CScopedSettings settings;
  // The earlier forms: plain texts, "sz:" before a text that began with a
  // kind prefix, a blank after '=', CRLF line ends, and texts that merely
  // begin and end with a quote.
  WriteText(settings.File(),
            "[Software\\Brisvane\\Lapforge]\r\n"
            "WriteN4PTF=dword:1\r\n"
            "XMLName= C:\\tracks\\a.xml\r\n"
            "PTFName=sz:dword:3\r\n"
            "TRKName=\"C:\\x\\\"\r\n"
            "3DSName=\"a\"b\"\r\n"
            "AIWName=\"\\q\"\r\n");
  EXPECT_EQ(CRegOption::GetOption("WriteN4PTF", 0), 1);
  EXPECT_EQ(CRegOption::GetOption("XMLName", ""), "C:\\tracks\\a.xml");
  EXPECT_EQ(CRegOption::GetOption("PTFName", ""), "dword:3");
  EXPECT_EQ(CRegOption::GetOption("TRKName", ""), "\"C:\\x\\\"");
  EXPECT_EQ(CRegOption::GetOption("3DSName", ""), "\"a\"b\"");
  EXPECT_EQ(CRegOption::GetOption("AIWName", ""), "\"\\q\"");
  // Rewriting one keeps the others as they read.
  ASSERT_TRUE(CRegOption::SetOption("CAMName", "c.cam"));
  EXPECT_EQ(CRegOption::GetOption("PTFName", ""), "dword:3");
  EXPECT_EQ(CRegOption::GetOption("TRKName", ""), "\"C:\\x\\\"");
  EXPECT_EQ(CRegOption::GetOption("3DSName", ""), "\"a\"b\"");
}

TEST(Browser, FilePickersProposeAndRememberPerExtension) {
  CScopedSettings settings;
  CScriptedDialogs dialogs;
  CBrowser browser(dialogs);

  dialogs.answer = "/work/tracks/oval.xml";
  EXPECT_EQ(browser.GetWriteFile("XML"), "/work/tracks/oval.xml");
  EXPECT_EQ(dialogs.last.filter, "XML files (*.XML)|*.XML");
  EXPECT_EQ(dialogs.last.defaultExtension, "XML");
  EXPECT_EQ(dialogs.last.proposedFile, "");
  EXPECT_EQ(dialogs.last.startFolder, CBrowser::RootFolder());
  EXPECT_EQ(CRegOption::GetOption("XMLName", ""), "/work/tracks/oval.xml");

  dialogs.answer = "";
  EXPECT_EQ(browser.GetReadFile("XML"), "");  // cancelled: nothing stored
  EXPECT_EQ(dialogs.last.proposedFile, "/work/tracks/oval.xml");
  EXPECT_EQ(dialogs.last.startFolder, "/work/tracks/");
  EXPECT_EQ(CRegOption::GetOption("XMLName", ""), "/work/tracks/oval.xml");

  dialogs.answer = "/x/y.trk";
  EXPECT_EQ(browser.GetReadFile("TRK", "/start/"), "/x/y.trk");
  EXPECT_EQ(dialogs.last.startFolder, "/start/");
  EXPECT_EQ(dialogs.last.proposedFile, "");
  EXPECT_EQ(CRegOption::GetOption("TRKName", "none"), "none");  // this form remembers nothing
}

TEST(Browser, FolderPickerStoresAsChosenAndAddsTheSeparator) {
  CScopedSettings settings;
  CScriptedDialogs dialogs;
  CBrowser browser(dialogs);
  dialogs.answer = "/out/rf";
  EXPECT_EQ(browser.GetFolder("rFactor"), "/out/rf/");
  EXPECT_EQ(CRegOption::GetOption("rFactorFolder", ""), "/out/rf");
  dialogs.answer = "/";
  EXPECT_EQ(browser.GetFolder("rFactor"), "/");
  EXPECT_EQ(dialogs.preselected, "/out/rf");
  dialogs.answer = "C:\\Out\\";
  EXPECT_EQ(browser.GetFolder("MTS"), "C:\\Out\\");
}

}  // namespace lapforge
