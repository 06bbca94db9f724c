#include "conversion/WordList.h"

#include <optional>

#include "util/Cp932.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Fields of one CSV line: commas outside double quotes separate, "" is a quote.
std::vector<std::u16string> CsvFields(std::u16string_view line) {
  std::vector<std::u16string> fields(1);
  bool bQuoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (bQuoted) {
      if (c != u'"') fields.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == u'"') fields.back() += line[++i];
      else bQuoted = false;
    } else if (c == u'"') {
      bQuoted = true;
    } else if (c == u',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::vector<std::u16string> TsvFields(std::u16string_view line) {
  std::vector<std::u16string> fields(1);
  for (const char16_t c : line) {
    if (c == u'\t') fields.emplace_back();
    else fields.back() += c;
  }
  return fields;
}

std::u16string CsvField(const std::u16string& s) {
  if (s.find_first_of(u",\"") == std::u16string::npos) return s;
  std::u16string out = u"\"";
  for (const char16_t c : s) out += c == u'"' ? u"\"\"" : std::u16string(1, c);
  return out + u'"';
}

}  // namespace

WordListRead ReadWordList(std::string_view bytes) {
  WordListRead list;
  if (bytes.size() > kMaxWordListBytes) {
    list.sError = u"一覧が大きすぎます (64 MB まで)。";
    return list;
  }
  if (bytes.find('\0') != std::string_view::npos) {
    list.sError = u"文字の一覧ではありません。";
    return list;
  }
  const std::u16string text = DecodeTextBytes(bytes);
  const bool bTabs = text.find(u'\t') != std::u16string::npos;
  bool bFirst = true;
  for (size_t i = 0; i < text.size();) {
    size_t nEnd = text.find(u'\n', i);
    if (nEnd == std::u16string::npos) nEnd = text.size();
    std::u16string_view line(text.data() + i, nEnd - i);
    i = nEnd + 1;
    if (line.ends_with(u'\r')) line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.size() > kMaxWordListLine) {
      ++list.nSkipped;
      continue;
    }
    const std::vector<std::u16string> fields = bTabs ? TsvFields(line) : CsvFields(line);
    const bool bHeader = bFirst && fields.size() > 1 && (fields[1] == u"読み" || fields[1] == u"reading");
    bFirst = false;
    if (bHeader) continue;
    if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) {
      ++list.nSkipped;
      continue;
    }
    if (list.entries.size() == kMaxWordListEntries) {
      list.entries.clear();
      list.sError = u"語が多すぎます (10 万語まで)。";
      return list;
    }
    list.entries.push_back(DictionaryEntry(fields[0], fields[1], fields.size() > 2 ? fields[2] : u"", false));
  }
  return list;
}

bool WriteWordList(const std::vector<TempleteEntry>& entries, WordListFormat format, std::string& bytes) {
  const bool bCsv = format != WordListFormat::kTsvUtf8;
  std::u16string text = bCsv ? u"表記,読み,注釈\r\n" : u"表記\t読み\t注釈\r\n";
  for (const TempleteEntry& entry : entries) {
    const std::u16string fields[] = {entry.sFrom, WrittenReading(entry), entry.sNote};
    for (size_t k = 0; k < 3; ++k) {
      if (k > 0) text += bCsv ? u',' : u'\t';
      text += bCsv ? CsvField(fields[k]) : fields[k];
    }
    text += u"\r\n";
  }
  if (format != WordListFormat::kCsvCp932) {
    bytes = EncodeUtf8WithBom(text);
    return true;
  }
  const std::optional<std::string> cp932 = EncodeCp932(text);
  if (!cp932) return false;
  bytes = *cp932;
  return true;
}

}  // namespace ekoto
