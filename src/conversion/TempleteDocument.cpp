#include "conversion/TempleteDocument.h"

#include <algorithm>

namespace ekoto {

void TempleteDocument::Load(std::u16string_view text) {
  const TempleteLines file = ParseTempleteLines(text);
  m_blocks.clear();
  m_entryBlocks.clear();
  m_removed.clear();
  m_sNewLineEnd = file.NewLineEnd();
  m_blocks.reserve(file.lines.size());
  size_t nNextEntry = 0;
  for (size_t n = 0; n < file.lines.size(); ++n) {
    const TempleteLines::Entry* pEntry = nNextEntry < file.entries.size() ? &file.entries[nNextEntry] : nullptr;
    // A "//@" line goes with the entry after it.
    const bool bMetaOfNext = pEntry && pEntry->bMetaLine && pEntry->nLine == n + 1;
    Block block;
    block.sText = file.lines[n] + file.ends[n];
    if (bMetaOfNext) {
      ++n;
      block.sText += file.lines[n] + file.ends[n];
    }
    if (pEntry && pEntry->nLine == n) {
      block.entry = pEntry->entry;
      block.loaded = pEntry->entry;
      m_entryBlocks.push_back(m_blocks.size());
      ++nNextEntry;
    }
    m_blocks.push_back(std::move(block));
  }
}

std::u16string TempleteDocument::Text() const {
  std::u16string text;
  for (const Block& block : m_blocks) {
    if (!block.bEdited) {
      if (!text.empty() && text.back() != u'\n') text += m_sNewLineEnd;  // the old last line gets followed
      text += block.sText;
      continue;
    }
    if (!block.entry) continue;  // removed
    if (!text.empty() && text.back() != u'\n') text += m_sNewLineEnd;
    for (const std::u16string& line : TempleteEntryLines(*block.entry)) text += line + m_sNewLineEnd;
  }
  return text;
}

std::vector<TempleteEntry> TempleteDocument::Entries() const {
  std::vector<TempleteEntry> entries;
  entries.reserve(Count());
  for (size_t i = 0; i < Count(); ++i) entries.push_back(Entry(i));
  return entries;
}

void TempleteDocument::Add(const TempleteEntry& entry) {
  m_entryBlocks.push_back(m_blocks.size());
  Block block;
  block.entry = entry;
  block.bEdited = true;
  m_blocks.push_back(std::move(block));
}

void TempleteDocument::Replace(size_t i, const TempleteEntry& entry) {
  Block& block = m_blocks[m_entryBlocks[i]];
  if (*block.entry == entry) return;
  block.entry = entry;
  block.bEdited = true;
}

void TempleteDocument::Remove(size_t i) {
  Block& block = m_blocks[m_entryBlocks[i]];
  if (block.loaded) m_removed.push_back(*block.loaded);
  block.entry.reset();
  block.bEdited = true;
  m_entryBlocks.erase(m_entryBlocks.begin() + static_cast<std::ptrdiff_t>(i));
}

bool TempleteDocument::IsModified() const {
  if (!m_removed.empty()) return true;
  for (const Block& block : m_blocks) {
    if (block.bEdited) return true;
  }
  return false;
}

size_t TempleteDocument::Find(const TempleteEntry& fields, std::vector<bool>& used) const {
  for (size_t i = 0; i < used.size(); ++i) {
    if (!used[i] && Entry(i) == fields) {
      used[i] = true;
      return i;
    }
  }
  return std::u16string::npos;
}

void TempleteDocument::RepeatEditsOn(TempleteDocument& newer) const {
  std::vector<bool> used(newer.Count(), false);
  std::vector<size_t> toRemove;
  for (const TempleteEntry& removed : m_removed) {
    const size_t i = newer.Find(removed, used);
    if (i != std::u16string::npos) toRemove.push_back(i);
  }
  for (const Block& block : m_blocks) {
    if (!block.bEdited || !block.entry) continue;
    const size_t i = block.loaded ? newer.Find(*block.loaded, used) : std::u16string::npos;
    if (i == std::u16string::npos) newer.Add(*block.entry);
    else newer.Replace(i, *block.entry);
  }
  // From the last, so that the indices still hold.
  std::sort(toRemove.rbegin(), toRemove.rend());
  for (const size_t i : toRemove) newer.Remove(i);
}

}  // namespace ekoto
