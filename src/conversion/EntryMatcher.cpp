#include "conversion/EntryMatcher.h"

#include <algorithm>
#include <numeric>

namespace ekoto {

void EntryMatcher::Build(size_t nKeys, const std::function<const std::u16string&(size_t)>& key) {
  m_keyOrder.resize(nKeys);
  std::iota(m_keyOrder.begin(), m_keyOrder.end(), 0U);
  std::stable_sort(m_keyOrder.begin(), m_keyOrder.end(), [&key](uint32_t a, uint32_t b) { return key(a) < key(b); });

  // The trie from the sorted keys: each key shares its prefix with the one
  // before it, so nodes are made in order and a node's children in the order
  // of their characters.
  struct Edge {
    uint32_t nParent;
    char16_t c;
  };
  std::vector<Edge> edges(1);  // edges[node] leads to node; the root has none
  std::vector<Node> nodes(1);
  std::vector<uint32_t> path = {kRoot};  // nodes along the previous key
  const std::u16string* pPrevious = nullptr;
  m_nLongestKey = 0;
  for (uint32_t nPos = 0; nPos < m_keyOrder.size(); ++nPos) {
    const std::u16string& sKey = key(m_keyOrder[nPos]);
    m_nLongestKey = std::max(m_nLongestKey, sKey.size());
    size_t nShared = 0;
    if (pPrevious) {
      const size_t nMax = std::min(pPrevious->size(), sKey.size());
      while (nShared < nMax && (*pPrevious)[nShared] == sKey[nShared]) ++nShared;
    }
    path.resize(nShared + 1);
    for (size_t i = nShared; i < sKey.size(); ++i) {
      edges.push_back({path.back(), sKey[i]});
      nodes.emplace_back();
      path.push_back(static_cast<uint32_t>(nodes.size() - 1));
    }
    pPrevious = &sKey;
    if (sKey.empty()) continue;
    Node& end = nodes[path.back()];
    if (end.nKeysBegin == end.nKeysEnd) end.nKeysBegin = nPos;  // equal keys are neighbours in the order
    end.nKeysEnd = nPos + 1;
  }

  // Children as ranges of one array, by parent (nodes were made parent first).
  const size_t nNodes = nodes.size();
  nodes.emplace_back();
  std::vector<uint32_t> counts(nNodes + 1, 0);
  for (size_t v = 1; v < nNodes; ++v) ++counts[edges[v].nParent];
  uint32_t nSum = 0;
  for (size_t u = 0; u <= nNodes; ++u) {
    nodes[u].nEdgesBegin = nSum;
    nSum += counts[u];
  }
  m_edgeChars.assign(nNodes - 1, 0);
  m_edgeNodes.assign(nNodes - 1, 0);
  std::vector<uint32_t> fill(nNodes, 0);
  for (size_t v = 1; v < nNodes; ++v) {
    const uint32_t u = edges[v].nParent;
    const uint32_t k = nodes[u].nEdgesBegin + fill[u]++;
    m_edgeChars[k] = edges[v].c;
    m_edgeNodes[k] = static_cast<uint32_t>(v);
  }
  m_nodes = std::move(nodes);
  m_rootChildren.assign(0x10000, kNone);
  for (uint32_t k = m_nodes[kRoot].nEdgesBegin; k < m_nodes[kRoot + 1].nEdgesBegin; ++k) {
    m_rootChildren[m_edgeChars[k]] = m_edgeNodes[k];
  }

  // Fail and output links, breadth first.
  std::vector<uint32_t> queue;
  queue.reserve(nNodes);
  queue.push_back(kRoot);
  for (size_t q = 0; q < queue.size(); ++q) {
    const uint32_t u = queue[q];
    for (uint32_t k = m_nodes[u].nEdgesBegin; k < m_nodes[u + 1].nEdgesBegin; ++k) {
      const uint32_t v = m_edgeNodes[k];
      uint32_t nFail = kRoot;
      if (u != kRoot) {
        uint32_t f = m_nodes[u].nFail;
        uint32_t t = Child(f, m_edgeChars[k]);
        while (t == kNone && f != kRoot) {
          f = m_nodes[f].nFail;
          t = Child(f, m_edgeChars[k]);
        }
        if (t != kNone) nFail = t;
      }
      Node& node = m_nodes[v];
      node.nFail = nFail;
      const Node& fail = m_nodes[nFail];
      node.nOutput = fail.nKeysBegin != fail.nKeysEnd ? nFail : fail.nOutput;
      queue.push_back(v);
    }
  }
}

uint32_t EntryMatcher::Child(uint32_t node, char16_t c) const {
  if (node == kRoot) return m_rootChildren[c];
  const auto begin = m_edgeChars.begin() + m_nodes[node].nEdgesBegin;
  const auto end = m_edgeChars.begin() + m_nodes[node + 1].nEdgesBegin;
  const auto it = std::lower_bound(begin, end, c);
  if (it == end || *it != c) return kNone;
  return m_edgeNodes[static_cast<size_t>(it - m_edgeChars.begin())];
}

void EntryMatcher::FindIn(std::u16string_view text, size_t nBegin, size_t nEnd, std::vector<uint32_t>& found) const {
  if (m_nLongestKey == 0) return;
  uint32_t node = kRoot;
  uint32_t nLastReported = kNone;  // a run of the same match is reported once
  for (size_t i = nBegin; i < nEnd; ++i) {
    const char16_t c = text[i];
    uint32_t next = Child(node, c);
    while (next == kNone && node != kRoot) {
      node = m_nodes[node].nFail;
      next = Child(node, c);
    }
    node = next == kNone ? kRoot : next;
    if (node == nLastReported) continue;
    for (uint32_t v = node; v != kNone; v = m_nodes[v].nOutput) {
      const Node& n = m_nodes[v];
      for (uint32_t k = n.nKeysBegin; k < n.nKeysEnd; ++k) found.push_back(m_keyOrder[k]);
    }
    if (m_nodes[node].nKeysBegin != m_nodes[node].nKeysEnd || m_nodes[node].nOutput != kNone) nLastReported = node;
  }
}

}  // namespace ekoto
