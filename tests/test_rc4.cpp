// CRC4: published RC4 vectors, fresh keystream per call, key changes, progress
// reporting, the hex and raw text forms and the whole-file variants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PaTestFiles.h"
#include "voice/CRC4.h"

namespace ekoto {
namespace {

std::u16string KeyFromBytes(const std::vector<uint8_t>& bytes) { return std::u16string(bytes.begin(), bytes.end()); }

std::vector<uint8_t> Keystream(CRC4& rc4, const std::u16string& key, size_t length) {
  std::vector<uint8_t> bytes(length, 0);
  EXPECT_TRUE(rc4.EncryptByte(bytes, key));
  return bytes;
}

TEST(RC4Vectors, ClassicTextVectors) {
  struct Row {
    std::u16string key, plain, hex;
  };
  const Row rows[] = {
      {u"Key", u"Plaintext", u"BBF316E8D940AF0AD3"},
      {u"Wiki", u"pedia", u"1021BF0420"},
      {u"Secret", u"Attack at dawn", u"45A01F645FC35B383552544B9BF5"},
  };
  for (const Row& row : rows) {
    CRC4 rc4;
    EXPECT_EQ(rc4.EncryptString(row.plain, row.key, true), row.hex);
    EXPECT_EQ(rc4.DecryptString(row.hex, row.key, true), row.plain);
  }
}

TEST(RC4Vectors, Rfc6229KeystreamExcerpts) {
  struct Row {
    std::vector<uint8_t> key;
    size_t offset;
    std::vector<uint8_t> expected;
  };
  const std::vector<uint8_t> key40 = {0x01, 0x02, 0x03, 0x04, 0x05};
  const std::vector<uint8_t> key128 = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                       0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10};
  const Row rows[] = {
      {key40, 0x000, {0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27, 0xcc, 0xc3, 0x52, 0x4a, 0x0a, 0x11, 0x18, 0xa8}},
      {key40, 0x010, {0x69, 0x82, 0x94, 0x4f, 0x18, 0xfc, 0x82, 0xd5, 0x89, 0xc4, 0x03, 0xa4, 0x7a, 0x0d, 0x09, 0x19}},
      {key40, 0x0f0, {0x28, 0xcb, 0x11, 0x32, 0xc9, 0x6c, 0xe2, 0x86, 0x42, 0x1d, 0xca, 0xad, 0xb8, 0xb6, 0x9e, 0xae}},
      {key40, 0x100, {0x1c, 0xfc, 0xf6, 0x2b, 0x03, 0xed, 0xdb, 0x64, 0x1d, 0x77, 0xdf, 0xcf, 0x7f, 0x8d, 0x8c, 0x93}},
      {key128, 0x000, {0x9a, 0xc7, 0xcc, 0x9a, 0x60, 0x9d, 0x1e, 0xf7, 0xb2, 0x93, 0x28, 0x99, 0xcd, 0xe4, 0x1b, 0x97}},
  };
  for (const Row& row : rows) {
    CRC4 rc4;
    const std::vector<uint8_t> stream = Keystream(rc4, KeyFromBytes(row.key), row.offset + 16);
    EXPECT_EQ(std::vector<uint8_t>(stream.begin() + static_cast<long>(row.offset), stream.end()), row.expected)
        << "key length " << row.key.size() << " offset " << row.offset;
  }
}

TEST(RC4State, KeyChangesReschedule) {
  CRC4 fresh;
  const std::vector<uint8_t> streamA = Keystream(fresh, u"alpha", 32);
  CRC4 freshB;
  const std::vector<uint8_t> streamB = Keystream(freshB, u"beta", 32);
  ASSERT_NE(streamA, streamB);

  CRC4 rc4;
  EXPECT_EQ(Keystream(rc4, u"alpha", 32), streamA);
  EXPECT_EQ(Keystream(rc4, u"beta", 32), streamB);
  EXPECT_EQ(Keystream(rc4, u"alpha", 32), streamA);
  // An empty key argument keeps the key in force, and every call starts a fresh keystream.
  EXPECT_EQ(Keystream(rc4, u"", 32), streamA);
  // Through the property, too.
  ASSERT_TRUE(rc4.Key(u"beta"));
  EXPECT_EQ(Keystream(rc4, u"", 32), streamB);
}

TEST(RC4State, UnusableKeysAreRefused) {
  CRC4 rc4;
  // Never keyed: the permutation is all zero, so the data comes back unchanged.
  EXPECT_EQ(Keystream(rc4, u"", 8), std::vector<uint8_t>(8, 0));
  EXPECT_TRUE(rc4.Key(u""));  // the same empty key: nothing to do

  ASSERT_TRUE(rc4.Key(u"beta"));
  EXPECT_FALSE(rc4.Key(u""));
  CRC4 reference;
  EXPECT_EQ(Keystream(rc4, u"", 16), Keystream(reference, u"beta", 16));

  // No CP932 form: refused, data untouched, the old key kept.
  std::vector<uint8_t> data = {1, 2, 3};
  EXPECT_FALSE(rc4.EncryptByte(data, u"\U0001F600"));
  EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Keystream(rc4, u"", 16), Keystream(reference, u"beta", 16));
  EXPECT_EQ(rc4.EncryptString(u"abc", u"\U0001F600", true), std::nullopt);
  EXPECT_EQ(rc4.EncryptString(u"\U0001F600", u"beta", true), std::nullopt);
}

TEST(RC4State, KeyLengthCountsCharactersNotBytes) {
  // "あ" is 82 A0 and "い" 82 A2 in CP932: a one-character key uses only its first byte.
  CRC4 a, i, ai, au, ia;
  EXPECT_EQ(Keystream(a, u"あ", 32), Keystream(i, u"い", 32));
  // Two characters: the first two bytes, 82 A0 for both.
  EXPECT_EQ(Keystream(ai, u"あい", 32), Keystream(au, u"あう", 32));
  EXPECT_NE(Keystream(ai, u"あい", 32), Keystream(ia, u"いあ", 32));
}

TEST(RC4Progress, PercentSequences) {
  auto run = [](size_t length) {
    CRC4 rc4;
    std::vector<int32_t> seen;
    rc4.Progress = [&seen](int32_t percent) { seen.push_back(percent); };
    std::vector<uint8_t> data(length, 7);
    EXPECT_TRUE(rc4.EncryptByte(data, u"Key"));
    return seen;
  };
  EXPECT_EQ(run(0), (std::vector<int32_t>{100}));
  EXPECT_EQ(run(1), (std::vector<int32_t>{0, 100}));
  EXPECT_EQ(run(3), (std::vector<int32_t>{0, 33, 66, 100}));
  for (size_t length : {200u, 1000u, 12345u}) {
    std::vector<int32_t> expected;
    for (int32_t p = 0; p <= 100; ++p) expected.push_back(p);
    EXPECT_EQ(run(length), expected) << length << " bytes";
  }
}

// Upper-case hex on the way out (the vectors above), either case accepted on the way in.
TEST(RC4Text, HexForms) {
  CRC4 rc4;
  // Never keyed: the bytes go through unchanged, which shows the hex forms alone.
  CRC4 plain;
  EXPECT_EQ(plain.EncryptString(u"\n\uF8F3", u"", true), u"0AFF");  // 0x0A 0xFF in CP932
  EXPECT_EQ(plain.DecryptString(u"0aFF", u"", true), u"\n\uF8F3");
  EXPECT_EQ(plain.DecryptString(u"", u"", true), u"");

  for (const std::u16string bad : {u"0AF", u"0G", u"zz", u"0A F0"}) {
    EXPECT_EQ(rc4.DecryptString(bad, u"Key", true), std::nullopt) << Utf16ToUtf8(bad);
  }
}

TEST(RC4Text, RawFormRoundTripsOddByteCounts) {
  CRC4 rc4;
  for (const std::u16string text : {u"", u"a", u"abc", u"日本語のテキスト", u"ｶﾅ混じりA"}) {
    const std::optional<std::u16string> raw = rc4.EncryptString(text, u"tun7", false);
    ASSERT_TRUE(raw);
    EXPECT_EQ(rc4.DecryptString(*raw, u"tun7", false), text);
  }
  // A character above U+00FF cannot stand for a cipher byte.
  EXPECT_EQ(rc4.DecryptString(u"a\u3042", u"tun7", false), std::nullopt);
}

// Whole files: overwritten only when asked, progress raised from inside the call.
TEST(RC4Files, RoundTripAndOverwriteRule) {
  testing::ScratchDir dir;
  std::vector<uint8_t> content = {0, 1, 2, 3, 250, 251, 252};
  content.resize(500, 1);
  testing::WriteBytes(dir.Path("in.bin"), content);
  const std::vector<uint8_t> untouched = {9, 9};
  testing::WriteBytes(dir.Path("out.bin"), untouched);

  CRC4 rc4;
  EXPECT_FALSE(rc4.EncryptFile(dir.Path16("in.bin"), dir.Path16("out.bin"), false, u"Key"));
  EXPECT_EQ(testing::ReadBytes(dir.Path("out.bin")), untouched);

  int32_t calls = 0, last = -1;
  rc4.Progress = [&](int32_t percent) { ++calls, last = percent; };
  ASSERT_TRUE(rc4.EncryptFile(dir.Path16("in.bin"), dir.Path16("out.bin"), true, u"Key"));
  EXPECT_EQ(calls, 101);
  EXPECT_EQ(last, 100);
  rc4.Progress = nullptr;
  std::vector<uint8_t> expected = content;
  ASSERT_TRUE(CRC4().EncryptByte(expected, u"Key"));
  EXPECT_EQ(testing::ReadBytes(dir.Path("out.bin")), expected);

  ASSERT_TRUE(rc4.DecryptFile(dir.Path16("out.bin"), dir.Path16("wrong.bin"), false, u"Other"));
  EXPECT_NE(testing::ReadBytes(dir.Path("wrong.bin")), content);
  ASSERT_TRUE(rc4.DecryptFile(dir.Path16("out.bin"), dir.Path16("back.bin"), false, u"Key"));
  EXPECT_EQ(testing::ReadBytes(dir.Path("back.bin")), content);
  EXPECT_FALSE(rc4.DecryptFile(dir.Path16("out.bin"), dir.Path16("back.bin"), false, u"Key"));
}

TEST(RC4Files, FailuresWriteNothing) {
  testing::ScratchDir dir;
  testing::WriteBytes(dir.Path("empty.bin"), {});
  CRC4 rc4;
  EXPECT_FALSE(rc4.EncryptFile(dir.Path16("missing.bin"), dir.Path16("out.bin"), true, u"Key"));
  EXPECT_FALSE(rc4.EncryptFile(dir.Path16("empty.bin"), dir.Path16("out.bin"), true, u"Key"));
  testing::WriteBytes(dir.Path("in.bin"), {1, 2, 3});
  EXPECT_FALSE(rc4.EncryptFile(dir.Path16("in.bin"), dir.Path16("no/such/folder/out.bin"), true, u"Key"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out.bin")));
}

}  // namespace
}  // namespace ekoto
