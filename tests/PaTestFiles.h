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
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::filesystem::path Path(const std::string& name) const { return m_path / name; }
  std::u16string Path16(const std::string& name) const { return Utf8ToUtf16((m_path / name).string()); }
  const std::filesystem::path& Root() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same with the bytes held in a string.
inline void WriteString(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadString(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A voice source file assembled field by field, so that any field can lie.
class RawPa {
 public:
  using Bytes = std::vector<uint8_t>;

  RawPa& Header(int32_t count, int16_t cipher = 0, int32_t tableOffset = 23, const char* magic = "PA  ",
                uint8_t version = 1) {
    m_bytes.insert(m_bytes.end(), magic, magic + 4);
    m_bytes.push_back(version);
    Int32(22050).Int16(8).Int16(1).Int32(count).Int32(tableOffset).Int16(cipher);
    return *this;
  }
  // A well-formed entry: the sample area is the sample plus one spare byte.
  RawPa& Entry(const std::string& name, const Bytes& sample) {
    return Int32(static_cast<int32_t>(name.size())).Raw(name).Int32(static_cast<int32_t>(sample.size()))
        .Raw(sample).Raw(Bytes{0xEE});
  }
  RawPa& Int16(int16_t v) { return Raw(Bytes{static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF)}); }
  RawPa& Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return Raw(Bytes{static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                     static_cast<uint8_t>(u >> 24)});
  }
  RawPa& Raw(const Bytes& b) {
    m_bytes.insert(m_bytes.end(), b.begin(), b.end());
    return *this;
  }
  RawPa& Raw(const std::string& s) { return Raw(Bytes(s.begin(), s.end())); }
  RawPa& Truncate(size_t size) {
    m_bytes.resize(size);
    return *this;
  }
  const Bytes& bytes() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

}  // namespace ekoto::testing
