// Benchmark input: ordinary Japanese text made by repeating the development
// sentences, or a fallback sentence when the data set is not found.
#pragma once
#include <fstream>
#include <string>
#include <vector>

namespace ekoto::bench {

inline std::vector<std::string> DevelopmentSentences() {
  std::vector<std::string> sentences;
  for (const char* path : {"../shared/data/readings_dev.tsv", "../../shared/data/readings_dev.tsv",
                           "/work/shared/data/readings_dev.tsv"}) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
      const size_t first = line.find('\t');
      const size_t second = line.find('\t', first + 1);
      if (first == std::string::npos || second == std::string::npos || line.rfind("id\t", 0) == 0) continue;
      sentences.push_back(line.substr(first + 1, second - first - 1));
    }
    if (!sentences.empty()) break;
  }
  if (sentences.empty()) sentences.push_back("今日は東京都の天気が良いので、公園を散歩しました。");
  return sentences;
}

// About `bytes` bytes of UTF-8 Japanese text with its ordinary punctuation, with a
// line break after every `perLine` sentences (0: none).
inline std::string JapaneseText(size_t bytes, size_t perLine = 0) {
  const auto sentences = DevelopmentSentences();
  std::string text;
  text.reserve(bytes + 256);
  for (size_t i = 0; text.size() < bytes; ++i) {
    text += sentences[i % sentences.size()];
    if (perLine && (i + 1) % perLine == 0) text += '\n';
  }
  return text;
}

}  // namespace ekoto::bench
