// The accent of the user's dictionary entries in the plan of a sentence: the
// template puts an entry's reading into the sentence, and where that reading is
// said, the accent marks written with the entry replace what the estimator
// planned for it.
#pragma once
#include <string>

#include "conversion/AccentPlan.h"

namespace ekoto {

class CConvTemplete;

// Wraps another accent source (not owned) and the template in use (not owned;
// it may be reloaded in place between sentences). Single-threaded, like the
// sources it wraps.
class CTempleteAccent final : public IAccentSource {
 public:
  CTempleteAccent(IAccentSource& inner, const CConvTemplete& table) : m_inner(inner), m_pTable(&table) {}

  // The template whose entries apply from the next sentence on.
  void SetTable(const CConvTemplete& table) { m_pTable = &table; }

  // The inner source's plan, with every entry that has an accent and whose
  // reading the sentence holds made an accent phrase of its own: the levels and
  // nucleus of its marks. The morae after it that the inner plan kept in the same
  // phrase (particles, auxiliaries) stay low after the entry's fall and high
  // after a flat entry; the next phrase starts anew. Each place the sentence
  // holds the entry's reading is applied only where it is certain which morae
  // said it: of the places where the reading sounds the same, mora by mora,
  // exactly one leaves room for the kana written before and after it in the
  // sentence. An empty inner plan stays empty.
  AccentPlan PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                        const std::u16string& sReading) override;

 private:
  IAccentSource& m_inner;
  const CConvTemplete* m_pTable;
};

}  // namespace ekoto
