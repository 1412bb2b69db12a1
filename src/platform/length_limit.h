#pragma once

#include <cstddef>
#include <string_view>

namespace agendia::platform {

// The length limit of an edit box, counted in characters as a person counts
// them: a character outside the basic plane is one, never two UTF-16 units,
// and a limit never keeps half of a surrogate pair. The edit boxes of every
// toolkit hold their text as UTF-16 and share this rule.
//
// A lone surrogate (which a broken paste may bring) counts as one character.

// The number of characters in `text`.
int CharacterCount(std::u16string_view text);
// How many UTF-16 units the first `count` characters of `text` take (the
// whole text when it has fewer); never ends between the two halves of a pair.
std::size_t UnitsOfFirstCharacters(std::u16string_view text, int count);
// How many UTF-16 units the last `count` characters before the unit `end` of
// `text` take; never starts between the two halves of a pair.
std::size_t UnitsOfCharactersBefore(std::u16string_view text, std::size_t end, int count);

// What the limit allows. It bounds what the user types, pastes, drops or
// composes; a text the program sets is shown whole, and until the program
// sets another, the user may edit it up to its own length (but not grow it).
// A limit of 0 or less means none.
class LengthLimit {
 public:
  explicit LengthLimit(int max_characters) : max_(max_characters) {}
  int max() const { return max_; }
  // The program set a text of `characters` characters.
  void Holds(int characters) { allowed_ = max_ > 0 && characters > max_ ? characters : max_; }
  // How many characters an edit that leaves `characters` must lose.
  int Excess(int characters) const { return max_ > 0 && characters > allowed_ ? characters - allowed_ : 0; }
  // How many characters of an insertion fit, where `kept` stay besides it;
  // -1 when there is no limit.
  int Room(int kept) const { return max_ > 0 ? (kept >= allowed_ ? 0 : allowed_ - kept) : -1; }

 private:
  int max_;
  int allowed_ = max_;
};

// Where an edit that went over the limit is cut: the excess characters just
// before `cursor` (where typed or pasted text ends), or the last ones when the
// cursor stands too near the start. Gives the first unit to remove and how
// many units go; {cursor, 0} when nothing is over.
struct LengthCut {
  std::size_t start = 0;
  std::size_t units = 0;
};
LengthCut CutOverLimit(std::u16string_view text, std::size_t cursor, const LengthLimit& limit);

}  // namespace agendia::platform
