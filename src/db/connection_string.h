#pragma once

#include <agendia/status.h>

#include <string>
#include <string_view>
#include <vector>

namespace agendia::db {

// A connection string read into its parts. Two forms are understood:
//   key=value;key=value   keys without regard to letter case, spaces and tabs
//                         around keys and values ignored; a value may be
//                         quoted with "...", '...' or {...} so it can hold ';'
//                         (inside, the closing quote doubled stands for itself)
//   /path/VXSystem.db     a bare file path: no '=' anywhere in the text; it
//                         reads as the part "Data Source=/path/VXSystem.db"
// A path that holds '=' must be given as a quoted Data Source.
class ConnectionString {
 public:
  // Fails with err::kUnspecified for an empty text, a text holding a NUL
  // character, a part without '=', a part without a key, or an unclosed
  // quote. Descriptions name the key concerned but never repeat any value or
  // other part of the text, which may hold a password; after a bare password
  // they name the password's key instead, as what follows may be its text.
  static StatusOr<ConnectionString> Parse(std::string_view text);

  // True for the bare-path form.
  bool is_bare_path() const { return bare_path_; }

  // The value of `key` in any letter case (the last one when repeated), or
  // null when the key is absent.
  const std::string* Find(std::string_view key) const;

  struct Part;
  // The part of `key` in any letter case (the last one when repeated), or
  // null when the key is absent.
  const Part* FindPart(std::string_view key) const;

  struct Part {
    std::string key;       // lower-cased
    std::string value;
    std::string as_given;  // the key as the text spells it
    // True after a bare (unquoted) Password or PWD value: a password that
    // holds ';' runs on into what reads as this part, so its key and value
    // may be the password's text and are never repeated in a message.
    bool after_bare_password = false;
  };
  // Every part in the order of the text, repeated keys included.
  const std::vector<Part>& parts() const { return parts_; }

 private:
  std::vector<Part> parts_;
  bool bare_path_ = false;
};

}  // namespace agendia::db
