// Helpers for the file tests: a scratch folder removed at the end of each test,
// whole-file reads and writes that bypass the code under test, and voice source
// files built byte by byte.
#pragma once
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "util/Utf.h"

namespace ekoto::testing {

class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("ekoto_pa_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~ScratchDir() { std::filesystem::remove_all(m_path, m_ec); }
  ScratchDir(const ScratchDir&) = delete;

  std::filesystem::path Path(const std::string& name) const { return m_path / name; }
  std::u16string Path16(const std::string& name) const { return Utf8ToUtf16((m_path / name).string()); }
  const std::filesystem::path& Root() const { return m_path; }

 private:
  std::filesystem::path m_path;
  std::error_code m_ec;
};

inline void WriteString(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadString(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same with the bytes held in a vector.
inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  WriteString(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  const std::string s = ReadString(path);
  return std::vector<uint8_t>(s.begin(), s.end());
}

// A voice source file assembled field by field, so that any field can lie.
class RawPa {
 public:
  using Bytes = std::vector<uint8_t>;

  RawPa& Header(int32_t count, int16_t cipher = 0, int32_t tableOffset = 23, const char* magic = "PA  ",
                uint8_t version = 1) {
    return Raw(std::string(magic, 4)).Raw(Bytes{version}).Int32(22050).Int16(8).Int16(1).Int32(count)
        .Int32(tableOffset).Int16(cipher);
  }
  // A well-formed entry: the sample area is the sample plus one spare byte.
  RawPa& Entry(const std::string& name, const Bytes& sample) {
    return Int32(static_cast<int32_t>(name.size())).Raw(name).Int32(static_cast<int32_t>(sample.size()))
        .Raw(sample).Raw(Bytes{0xEE});
  }
  RawPa& Int16(int16_t v) { return Raw(Bytes{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
  RawPa& Int32(int32_t v) { return Int16(static_cast<int16_t>(v)).Int16(static_cast<int16_t>(v >> 16)); }
  RawPa& Raw(const Bytes& b) { return m_bytes.insert(m_bytes.end(), b.begin(), b.end()), *this; }
  RawPa& Raw(const std::string& s) { return Raw(Bytes(s.begin(), s.end())); }
  RawPa& Truncate(size_t size) { return m_bytes.resize(size), *this; }
  const Bytes& bytes() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

}  // namespace ekoto::testing
