// Which of many keys occur in a text, found in one pass (an Aho-Corasick
// automaton over UTF-16 units). The template uses it to try only the entries
// that can match a sentence instead of every entry at every position.
// Built once, then read-only: FindIn may be called from any thread.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

class EntryMatcher {
 public:
  // Replaces the automaton with one over keys; key i is reported as i. Empty
  // keys are never reported; equal keys are all reported.
  void Build(const std::vector<std::u16string>& keys) {
    Build(keys.size(), [&keys](size_t i) -> const std::u16string& { return keys[i]; });
  }
  // The same with key(i) giving key i, for i below nKeys.
  void Build(size_t nKeys, const std::function<const std::u16string&(size_t)>& key);

  // Appends to found the index of every key that occurs wholly inside
  // text[nBegin, nEnd), in no particular order and possibly more than once.
  void FindIn(std::u16string_view text, size_t nBegin, size_t nEnd, std::vector<uint32_t>& found) const;

  // Length of the longest key (0 without keys).
  size_t LongestKey() const { return m_nLongestKey; }

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  static constexpr uint32_t kRoot = 0;

  // The node reached from node on c, kNone when it has no such child.
  uint32_t Child(uint32_t node, char16_t c) const;

  struct Node {
    uint32_t nFail = kRoot;     // longest proper suffix that is also a node
    uint32_t nOutput = kNone;   // nearest node on the fail chain that ends a key
    uint32_t nKeysBegin = 0;    // keys ending here: m_keyOrder[nKeysBegin, nKeysEnd)
    uint32_t nKeysEnd = 0;
    uint32_t nEdgesBegin = 0;   // children: m_edgeChars/m_edgeNodes[nEdgesBegin, next node's)
  };
  std::vector<Node> m_nodes;      // one more than there are nodes: the last closes the edge ranges
  std::vector<char16_t> m_edgeChars;
  std::vector<uint32_t> m_edgeNodes;
  std::vector<uint32_t> m_rootChildren;  // 65536 entries: the root answers in one look-up
  std::vector<uint32_t> m_keyOrder;      // key indices, sorted by key
  size_t m_nLongestKey = 0;
};

}  // namespace ekoto
