// The template as the dictionary window edits it. Every line of the file is
// kept: an edited entry is written again where it stood, a new one goes at the
// end, so comments and the order of untouched entries survive a save. The
// edits since loading can be repeated on a newer file (a merge after the file
// was changed outside). Single-threaded.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/TempleteFile.h"

namespace ekoto {

class TempleteDocument {
 public:
  // Replaces everything with the text's lines; no edits afterwards.
  void Load(std::u16string_view text);

  // The file's text: the loaded text exactly while nothing was edited.
  std::u16string Text() const;

  // Entries as written, in file order (new ones last).
  size_t Count() const { return m_entryBlocks.size(); }
  const TempleteEntry& Entry(size_t i) const { return *m_blocks[m_entryBlocks[i]].entry; }
  std::vector<TempleteEntry> Entries() const;

  void Add(const TempleteEntry& entry);
  void Replace(size_t i, const TempleteEntry& entry);
  void Remove(size_t i);

  // Returns true iff anything was added, replaced or removed since Load.
  bool IsModified() const;

  // Repeats the edits since Load on newer: a replaced or removed entry is
  // looked for there by its fields as loaded (the first such entry not yet
  // used); a replaced entry that is gone there is added, a removed one that is
  // gone stays gone; added entries are added.
  void RepeatEditsOn(TempleteDocument& newer) const;

 private:
  struct Block {
    std::u16string sText;                  // the lines as loaded, with their ends
    std::optional<TempleteEntry> entry;    // as it stands; none for other lines
    std::optional<TempleteEntry> loaded;   // as loaded; none for added entries
    bool bEdited = false;                  // sText is stale: write entry instead
  };

  // Index in Entries() of the first entry equal to fields and not in used; npos when none.
  size_t Find(const TempleteEntry& fields, std::vector<bool>& used) const;

  std::vector<Block> m_blocks;
  std::vector<size_t> m_entryBlocks;        // blocks holding entries, in order
  std::vector<TempleteEntry> m_removed;     // entries as loaded that were removed
  std::u16string m_sNewLineEnd = u"\n";
};

}  // namespace ekoto
