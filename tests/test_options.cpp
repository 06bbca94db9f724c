// The options store: value spellings, options.dat as bytes, loading line by
// line, the start-up defaults and where the file lives.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PaTestFiles.h"
#include "StoredOptionsWindow.h"
#include "settings/COptions.h"
#include "settings/OptionsLocation.h"
#include "settings/OptionsValues.h"
#include "settings/modLoadAndSaveOptions.h"
#include "util/Utf.h"

namespace ekoto {

namespace {

namespace fs = std::filesystem;

// One setter call on the window.
struct Call {
  std::string name;
  double value;
  bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call) { return out << call.name << "(" << call.value << ")"; }

// The main window as the store sees it: values to save, setter calls in order.
class FakeWindow : public testing::StoredOptionsWindow {
 public:
  FakeWindow() { volume = 4.0f, speed = 1.0f; }
  std::vector<Call> calls;

  void SetVolume(float v) override { Record("SetVolume", v), volume = v; }
  void SetSpeed(float v) override { Record("SetSpeed", v), speed = v; }
  void SetWindowLeft(int32_t v) override { Record("SetWindowLeft", v), left = v; }
  void SetWindowTop(int32_t v) override { Record("SetWindowTop", v), top = v; }
  void SetWindowWidth(int32_t v) override { Record("SetWindowWidth", v), width = v; }
  void SetWindowHeight(int32_t v) override { Record("SetWindowHeight", v), height = v; }

 private:
  void Record(const char* name, double value) { calls.push_back({name, value}); }
};

// The record as the window holds it before options.dat is read.
COptions Defaults() {
  COptions options;
  SetStartupDefaults(options, u"/opt/ekoto/");
  return options;
}

class OptionsFileTest : public ::testing::Test {
 protected:
  std::string Fs(const std::string& name) const { return dir_.Path(name).string(); }
  std::u16string P(const std::string& name) const { return dir_.Path16(name); }
  void PutBytes(const std::string& name, std::string_view bytes) const { testing::WriteString(dir_.Path(name), bytes); }
  std::string GetBytes(const std::string& name) const { return testing::ReadString(dir_.Path(name)); }

  testing::ScratchDir dir_;
};

// ---- The file as bytes ----------------------------------------------------

TEST_F(OptionsFileTest, DefaultSaveIsPinnedByteForByte) {
  FakeWindow window;
  ASSERT_TRUE(SaveOptions(P("options.dat"), Defaults(), window));
  const std::string expected =
      "// \r\n"
      "Volume=4.00\r\n"
      "Mute=false\r\n"
      "Speed=1.00\r\n"
      "Clipboard=false\r\n"
      "ANNarrow=true\r\n"
      "AUpperCase=true\r\n"
      "Numeric=true\r\n"
      "PAPath=/opt/ekoto/50on.pa\r\n"
      "ConvTempletePath=/opt/ekoto/templete.txt\r\n"
      "WindowLeft=120\r\n"
      "WindowTop=90\r\n"
      "WindowWidth=640\r\n"
      "WindowHeight=480\r\n"
      "Playbar=true\r\n"
      "Volumebar=true\r\n"
      "Speedbar=true\r\n"
      "FontName=\x82" "l\x82" "r \x82" "o\x83" "S\x83" "V\x83" "b\x83" "N\r\n"  // CP932
      "FontSize=10\r\n"
      "FontBold=false\r\n"
      "FontItalic=false\r\n"
      "FontStrikethrough=false\r\n"
      "FontUnderline=false\r\n";
  EXPECT_EQ(GetBytes("options.dat"), expected);
  EXPECT_TRUE(window.calls.empty());
}

TEST_F(OptionsFileTest, MissingOrUnreadableFileKeepsDefaults) {
  fs::create_directory(Fs("a_folder"));
  for (const char* name : {"missing.dat", "a_folder"}) {
    COptions options = Defaults();
    FakeWindow window;
    LoadOptions(P(name), options, window);
    EXPECT_EQ(options, Defaults()) << name;
    EXPECT_TRUE(window.calls.empty()) << name;
  }
}

// Missing config folders are made private; a save that cannot happen says so.
TEST_F(OptionsFileTest, SaveCreatesConfigFoldersOrFailsAndKeepsWhatIsThere) {
  FakeWindow window;
  ASSERT_TRUE(SaveOptions(P("config/ekoto/options.dat"), Defaults(), window));
  struct stat st;
  ASSERT_EQ(::stat(Fs("config/ekoto").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(GetBytes("config/ekoto/options.dat").substr(0, 5), "// \r\n");

  PutBytes("plain", "not a folder");
  EXPECT_FALSE(SaveOptions(P("plain/options.dat"), Defaults(), window));
  fs::create_directory(Fs("options.dat"));  // a folder where the file should be
  EXPECT_FALSE(SaveOptions(P("options.dat"), Defaults(), window));
  EXPECT_TRUE(fs::is_directory(Fs("options.dat")));
  EXPECT_EQ(GetBytes("plain"), "not a folder");
}

// ---- Loading, line by line ------------------------------------------------

struct LoadCase {
  const char* name;
  const char* text;                       // UTF-8
  std::function<void(COptions&)> change;  // expected change to the defaults
  std::vector<Call> calls;
};

void PrintTo(const LoadCase& row, std::ostream* out) { *out << row.name; }

void NoChange(COptions&) {}

class OptionsLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(OptionsLoadTest, ChangesExactlyWhatTheLinesSay) {
  const LoadCase& row = GetParam();
  COptions options = Defaults();
  FakeWindow window;
  LoadOptionsFromText(Utf8ToUtf16(row.text), options, window);
  COptions expected = Defaults();
  row.change(expected);
  EXPECT_EQ(options, expected);
  EXPECT_EQ(window.calls, row.calls);
}

std::string RowName(const ::testing::TestParamInfo<LoadCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    OptionsGrammar, OptionsLoadTest,
    ::testing::Values(
        LoadCase{"Empty", "", NoChange, {}},
        LoadCase{"CommentsWithBlanks", "  // note\r\n/ / note\r\n\t//Mute=true\r\n", NoChange, {}},
        LoadCase{"KeyUpperCase", "MUTE=true\r\nfOnTsIzE=9\r\n",
                 [](COptions& o) { o.bMute = true, o.nFontSize = 9; }, {}},
        LoadCase{"BoolCapitalisedIsFalse", "Mute=true\r\nMute=True\r\n", NoChange, {}},
        LoadCase{"LineWithoutEqualsOrKey", "Mute\r\n=true\r\nColour=red\r\n", NoChange, {}},
        LoadCase{"BareLfLinesAreLines", "// \nMute=true\nFontSize=12\nVolume=1.00\n",
                 [](COptions& o) { o.bMute = true, o.nFontSize = 12; }, {{"SetVolume", 1.0}}},
        LoadCase{"LoneCrStaysInValue", "FontName=A\rB\r\nMute=true\r\r\n",
                 [](COptions& o) { o.sFontName = u"A\rB"; }, {}},
        LoadCase{"SettersInLineOrder", "Speed=0.5\r\nWindowTop=3\r\nVolume=1\r\nSpeed=0,25\r\nWindowLeft=-20\r\n",
                 NoChange,
                 {{"SetSpeed", 0.5}, {"SetWindowTop", 3}, {"SetVolume", 1}, {"SetSpeed", 0.25},
                  {"SetWindowLeft", -20}}},
        LoadCase{"RangeLeftToTheWindow", "Volume=-3\r\nSpeed=7.5\r\nWindowWidth=0\r\n", NoChange,
                 {{"SetVolume", -3}, {"SetSpeed", 7.5}, {"SetWindowWidth", 0}}},
        LoadCase{"NumbersThatDoNotParse",
                 "Volume=abc\r\nVolume=\r\nVolume=1e3\r\nSpeed=1.2.3\r\nSpeed=0x1\r\nWindowLeft=1,000.5\r\n"
                 "WindowTop=inf\r\nFontSize=\xEF\xBC\x91\xEF\xBC\x92\r\n",
                 NoChange, {}},
        LoadCase{"NumbersThatDoNotFit",
                 "FontSize=2147483648\r\nFontSize=2147483647.5\r\nWindowHeight=-2147483649\r\n"
                 "Volume=1" "000000000000000000000000000000000000000000000000000\r\n",
                 NoChange, {}},
        LoadCase{"IntegersRoundHalfToEven", "FontSize=10.5\r\nWindowLeft=12.5\r\nWindowTop=13.5\r\n"
                                            "WindowWidth=-2.5\r\nWindowHeight=0.500000000000000000001\r\n",
                 [](COptions& o) { o.nFontSize = 10; },
                 {{"SetWindowLeft", 12}, {"SetWindowTop", 14}, {"SetWindowWidth", -2}, {"SetWindowHeight", 1}}},
        LoadCase{"NumberSpellings", "Volume= 2.00\t\r\nSpeed=+.5\r\nWindowLeft=0012\r\nWindowTop=7.\r\n",
                 NoChange, {{"SetVolume", 2}, {"SetSpeed", 0.5}, {"SetWindowLeft", 12}, {"SetWindowTop", 7}}},
        LoadCase{"EveryKey",
                 "volume=1.5\r\nmute=true\r\nspeed=0.75\r\nclipboard=true\r\nannarrow=false\r\n"
                 "auppercase=false\r\nnumeric=false\r\npapath=/p.pa\r\nconvtempletepath=/t.txt\r\n"
                 "windowleft=1\r\nwindowtop=2\r\nwindowwidth=3\r\nwindowheight=4\r\nplaybar=false\r\n"
                 "volumebar=false\r\nspeedbar=false\r\nfontname=F\r\nfontsize=20\r\nfontbold=true\r\n"
                 "fontitalic=true\r\nfontstrikethrough=true\r\nfontunderline=true\r\n",
                 [](COptions& o) {
                   o.bMute = o.bClipboard = true;
                   o.bANNarrow = o.bAUpperCase = o.bNumeric = false;
                   o.sPAPath = u"/p.pa", o.sConvTempletePath = u"/t.txt";
                   o.bPlaybar = o.bVolumebar = o.bSpeedbar = false;
                   o.sFontName = u"F", o.nFontSize = 20;
                   o.bFontBold = o.bFontItalic = o.bFontStrikethrough = o.bFontUnderline = true;
                 },
                 {{"SetVolume", 1.5},
                  {"SetSpeed", 0.75},
                  {"SetWindowLeft", 1},
                  {"SetWindowTop", 2},
                  {"SetWindowWidth", 3},
                  {"SetWindowHeight", 4}}}),
    RowName);

// ---- Value spellings ------------------------------------------------------

TEST(OptionsValuesTest, DecimalsAreWrittenWithTwoPlaces) {
  const std::pair<float, const char*> rows[] = {
      {4.0f, "4.00"},   {-0.0f, "0.00"},  {0.995f, "1.00"}, {0.005f, "0.01"},  {0.004f, "0.00"},
      {0.125f, "0.13"}, {9.995f, "10.00"}, {0.75f, "0.75"},  {-1.5f, "-1.50"},  {-0.001f, "0.00"},
      {123456.0f, "123456.00"},
  };
  for (const auto& [value, text] : rows) EXPECT_EQ(Utf16ToUtf8(DecimalToText(value)), text) << value;
}

TEST(OptionsValuesTest, IntegerEdges) {
  const std::pair<const char*, std::optional<int32_t>> rows[] = {
      {"-2147483648.5", -2147483647 - 1}, {"-2147483648.51", std::nullopt}, {"0000000000000000000042", 42},
      {"1,5", 2}, {".5", 0}, {"-", std::nullopt}, {"1 2", std::nullopt}, {"--1", std::nullopt},
  };
  for (const auto& [text, value] : rows) EXPECT_EQ(TextToInteger(Utf8ToUtf16(text)), value) << text;
}

// ---- Start-up defaults ----------------------------------------------------

TEST_F(OptionsFileTest, DefaultsTakeBundledFilesBesideOrInstalled) {
  fs::create_directories(Fs("bin"));
  fs::create_directories(Fs("share/ekoto"));
  PutBytes("share/ekoto/50on.pa", "pa");
  PutBytes("share/ekoto/templete.txt", "t");
  PutBytes("bin/templete.txt", "t");  // beside the executable wins

  COptions options;
  options.bMute = options.bClipboard = true;  // not the defaults' business
  SetStartupDefaults(options, P("bin/"));
  EXPECT_EQ(Utf16ToUtf8(options.sPAPath), Fs("share/ekoto/50on.pa"));
  EXPECT_EQ(Utf16ToUtf8(options.sConvTempletePath), Fs("bin/templete.txt"));
  EXPECT_TRUE(options.bMute && options.bClipboard);  // the other defaults: DefaultSaveIsPinnedByteForByte

  // Found nowhere: the name beside the executable, where the user would look.
  EXPECT_EQ(Utf16ToUtf8(BundledFilePath(P("bin/"), u"missing.pa")), Fs("bin/missing.pa"));
}

// ---- Where options.dat lives ----------------------------------------------

struct LocationCase {
  const char* name;
  OptionsPlace place;
  const char16_t* expected;
};

void PrintTo(const LocationCase& row, std::ostream* out) { *out << row.name; }

class OptionsLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(OptionsLocationTest, Chooses) { EXPECT_EQ(ChooseOptionsFiles(GetParam().place).sLoadPath, GetParam().expected); }

std::string LocationName(const ::testing::TestParamInfo<LocationCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    OptionsDecision, OptionsLocationTest,
    ::testing::Values(
        LocationCase{"WritableFolder", {u"/opt/ekoto/", true, false, u"/cfg", u"/home/u"}, u"/opt/ekoto/options.dat"},
        LocationCase{"ReadOnlyWithFile", {u"/usr/bin/", false, true, u"/cfg", u"/home/u"}, u"/usr/bin/options.dat"},
        LocationCase{"ReadOnlyXdgSet", {u"/usr/bin/", false, false, u"/cfg", u"/home/u"}, u"/cfg/ekoto/options.dat"},
        LocationCase{"XdgUnset", {u"/usr/bin/", false, false, u"", u"/home/u"}, u"/home/u/.config/ekoto/options.dat"},
        LocationCase{"XdgRelativeIgnored", {u"/usr/bin/", false, false, u"cfg", u"/home/u/"},
                     u"/home/u/.config/ekoto/options.dat"},
        LocationCase{"NoHomeAtAll", {u"/usr/bin/", false, false, u"", u""}, u"/usr/bin/options.dat"},
        LocationCase{"ProgramFolderUnknown", {u"", true, true, u"", u"/home/u"}, u"/home/u/.config/ekoto/options.dat"},
        LocationCase{"NothingKnown", {u"", false, false, u"", u""}, u""}),
    LocationName);

TEST_F(OptionsFileTest, LocationLooksAtTheProgramFolder) {
  fs::create_directories(Fs("bin"));
  EXPECT_EQ(Utf16ToUtf8(OptionsFilesFor(P("bin/"), u"/cfg", u"/home/u").sLoadPath), Fs("bin/options.dat"));
  EXPECT_EQ(OptionsFilesFor(P("no_such_folder/"), u"/cfg", u"/home/u").sLoadPath, u"/cfg/ekoto/options.dat");
  EXPECT_EQ(OptionsFilesFor(P("no_such_folder/"), u"", u"/home/u").sLoadPath, u"/home/u/.config/ekoto/options.dat");
}

}  // namespace
}  // namespace ekoto
