#include "voice/AudioImport.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "util/RegularFile.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// A growing in-memory file for libsndfile's virtual I/O.
struct MemoryFile {
  std::vector<uint8_t> bytes;
  sf_count_t pos = 0;
};

sf_count_t MemLength(void* user) { return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size()); }

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const sf_count_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? MemLength(user) : 0;
  if (base + offset < 0) return -1;
  f->pos = base + offset;
  return f->pos;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const sf_count_t available = std::max<sf_count_t>(0, MemLength(user) - f->pos);
  const sf_count_t n = std::min(count, available);
  if (n > 0) std::memcpy(ptr, f->bytes.data() + f->pos, static_cast<size_t>(n));
  f->pos += n;
  return n;
}

sf_count_t MemWrite(const void* ptr, sf_count_t count, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  const size_t end = static_cast<size_t>(f->pos + count);
  if (f->bytes.size() < end) f->bytes.resize(end);
  std::memcpy(f->bytes.data() + f->pos, ptr, static_cast<size_t>(count));
  f->pos += count;
  return count;
}

sf_count_t MemTell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

}  // namespace

PaStatus ReadMonoClip(const std::u16string& path, MonoClip& retClip) {
  const int fd = OpenRegularFile(Utf16ToUtf8(path));
  if (fd < 0) return PaStatus::Error(path + u": no such regular file");
  SF_INFO info{};
  // libsndfile closes the descriptor with the file, or at once when it cannot read it.
  SNDFILE* sf = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (!sf) return PaStatus::Error(path + u": " + Utf8ToUtf16(sf_strerror(nullptr)));
  const int channels = info.channels;
  if (channels <= 0 || info.samplerate <= 0 || info.frames < 0 ||
      info.frames > std::numeric_limits<int32_t>::max() / channels) {
    sf_close(sf);
    return PaStatus::Error(path + u": unsupported channel count, rate or length");
  }
  std::vector<float> interleaved(static_cast<size_t>(info.frames) * static_cast<size_t>(channels));
  const sf_count_t got = sf_readf_float(sf, interleaved.data(), info.frames);
  sf_close(sf);
  if (got != info.frames) return PaStatus::Error(path + u": the file is damaged or cut short");

  MonoClip clip;
  clip.lSampleRate = info.samplerate;
  clip.samples.resize(static_cast<size_t>(info.frames));
  for (size_t frame = 0; frame < clip.samples.size(); ++frame) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) sum += interleaved[frame * static_cast<size_t>(channels) + static_cast<size_t>(c)];
    clip.samples[frame] = sum / static_cast<float>(channels);
  }
  retClip = std::move(clip);
  return PaStatus::Ok();
}

PaStatus ConvertToU8(const MonoClip& clip, int32_t lSampleRate, std::vector<uint8_t>& retSample) {
  return ConvertToPcm(clip, lSampleRate, 8, retSample);
}

PaStatus ConvertToPcm(const MonoClip& clip, int32_t lSampleRate, int16_t nBitsPerSample,
                      std::vector<uint8_t>& retSample) {
  if (nBitsPerSample != 8 && nBitsPerSample != 16) return PaStatus::Error(u"samples must have 8 or 16 bits");
  if (lSampleRate <= 0 || clip.lSampleRate <= 0) return PaStatus::Error(u"the sample rate must be positive");
  std::vector<float> resampled;
  const std::vector<float>* source = &clip.samples;
  if (lSampleRate != clip.lSampleRate && !clip.samples.empty()) {
    const double ratio = static_cast<double>(lSampleRate) / clip.lSampleRate;
    if (!src_is_valid_ratio(ratio)) {
      return PaStatus::Error(u"cannot resample from " + Utf8ToUtf16(std::to_string(clip.lSampleRate)) + u" Hz to " +
                             Utf8ToUtf16(std::to_string(lSampleRate)) + u" Hz");
    }
    resampled.resize(static_cast<size_t>(std::ceil(static_cast<double>(clip.samples.size()) * ratio)) + 1);
    SRC_DATA data{};
    data.data_in = clip.samples.data();
    data.data_out = resampled.data();
    data.input_frames = static_cast<long>(clip.samples.size());
    data.output_frames = static_cast<long>(resampled.size());
    data.src_ratio = ratio;
    const int err = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1);
    if (err != 0) return PaStatus::Error(u"resampling failed: " + Utf8ToUtf16(src_strerror(err)));
    resampled.resize(static_cast<size_t>(data.output_frames_gen));
    source = &resampled;
  }
  std::vector<uint8_t> out;
  out.reserve(source->size() * static_cast<size_t>(nBitsPerSample / 8));
  for (const float x : *source) {
    if (nBitsPerSample == 8) {
      out.push_back(static_cast<uint8_t>(std::clamp<long>(std::lrint(static_cast<double>(x) * 128.0) + 128, 0, 255)));
    } else {
      const auto v = static_cast<uint16_t>(std::clamp<long>(std::lrint(static_cast<double>(x) * 32768.0), -32768, 32767));
      out.push_back(static_cast<uint8_t>(v & 0xFF));
      out.push_back(static_cast<uint8_t>(v >> 8));
    }
  }
  retSample = std::move(out);
  return PaStatus::Ok();
}

std::optional<std::vector<uint8_t>> MakeWavU8(const std::vector<uint8_t>& sample, int32_t lSampleRate,
                                              int16_t nChannels) {
  return MakeWavPcm(sample, lSampleRate, nChannels, 8);
}

std::optional<std::vector<uint8_t>> MakeWavPcm(const std::vector<uint8_t>& sample, int32_t lSampleRate,
                                               int16_t nChannels, int16_t nBitsPerSample) {
  if (nBitsPerSample != 8 && nBitsPerSample != 16) return std::nullopt;
  SF_INFO info{};
  info.samplerate = lSampleRate;
  info.channels = nChannels;
  info.format = SF_FORMAT_WAV | (nBitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
  if (lSampleRate <= 0 || nChannels <= 0 || !sf_format_check(&info)) return std::nullopt;
  SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
  MemoryFile file;
  SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
  if (!sf) return std::nullopt;
  // Frames are whole: a sample with a partial last frame loses that frame.
  const size_t nFrameBytes = static_cast<size_t>(nChannels) * static_cast<size_t>(nBitsPerSample / 8);
  const sf_count_t bytes = static_cast<sf_count_t>(sample.size() - sample.size() % nFrameBytes);
  const bool ok = sf_write_raw(sf, sample.data(), bytes) == bytes;
  if (sf_close(sf) != 0 || !ok) return std::nullopt;
  return std::move(file.bytes);
}

}  // namespace ekoto
