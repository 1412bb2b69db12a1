// The rewrite of SQL Server text for the databases behind ODBC, judged by
// SQLite itself. A statement is put together from pieces (names, numbers,
// literals, quoted and bracketed names, operators, qualifiers, NewID() calls,
// comments), and beside it the text it must mean: the same pieces with each
// change made and set apart by spaces, which can never join two tokens. Both
// are prepared by SQLite statement by statement (sqlite3_prepare_v2 and its
// tail) and must compile to the same program (EXPLAIN), or fail alike.
// Comments are kept by the rewrite byte for byte, in PostgreSQL's reading
// too (nested, a line comment ended by CR), and taken out of both texts
// before SQLite sees them.
//
// Input: a first line "P" for PostgreSQL's rules (brackets taken off: a plain
// name bare, any other in double quotes; nested
// comments, CR ends a line comment), anything else for SQLite's. Then one
// piece per line, its kind the first character:
//   n name   # number   s 'literal'   q "quoted name"   b [bracketed name]
//   o operator   Q VXSystem.. (the rest gives its letter case)
//   I NewID() (the rest: '_' is a space inside the call)   c /* comment */
//   ('{' and '}' open and close a nested one under PostgreSQL's rules)
//   l -- comment (ended by CR when the rest starts with 'r' under
//   PostgreSQL's rules, else by LF)   B a UTF-8 byte-order mark
//   ' ' a space between pieces.
// Under SQLite's rules the embedded backend's rewrite (AdaptForSqlite) is
// judged the same way, with NewID() left a call.

#include "db/sqlite/sqlite_dialect.h"
#include "db/statement_rewrite.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using agendia::db::StatementRewrite;

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Characters a piece's content may not hold, so that no piece can look like
// another (a comment inside a literal, a new identifier inside a name).
std::string Clean(std::string_view text, std::string_view forbidden) {
  std::string clean;
  for (char c : text) {
    const bool control = static_cast<unsigned char>(c) < 0x20;  // the marks of this fuzzer among them
    clean.push_back(control || forbidden.find(c) != std::string_view::npos ? '_' : c);
  }
  return clean;
}

std::string Doubled(std::string_view text, char quote) {
  std::string out;
  for (char c : text) {
    out.push_back(c);
    if (c == quote) out.push_back(c);
  }
  return out;
}

sqlite3* Database() {
  static sqlite3* db = [] {
    sqlite3* opened = nullptr;
    if (sqlite3_open(":memory:", &opened) != SQLITE_OK) std::abort();
    // A double-quoted name that is no column must fail as a bare one does.
    sqlite3_db_config(opened, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(opened, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // The embedded backend's NewID(), so that its calls compile.
    sqlite3_create_function(opened, "NewID", 0, SQLITE_UTF8, nullptr,
                            [](sqlite3_context* context, int, sqlite3_value**) {
                              sqlite3_result_text(context, "id", -1, SQLITE_STATIC);
                            },
                            nullptr, nullptr);
    if (sqlite3_exec(opened, "create table t(a, b, X, E, N, U, \"b c\", Year)", nullptr, nullptr,
                     nullptr) != SQLITE_OK) {
      std::abort();
    }
    return opened;
  }();
  return db;
}

// The program of one statement, as EXPLAIN lists it.
std::string Program(std::string_view statement) {
  const std::string explain = "EXPLAIN " + std::string(statement);
  sqlite3_stmt* listing = nullptr;
  std::string program;
  if (sqlite3_prepare_v2(Database(), explain.c_str(), -1, &listing, nullptr) != SQLITE_OK) {
    return std::string("cannot explain: ") + sqlite3_errmsg(Database());
  }
  while (listing && sqlite3_step(listing) == SQLITE_ROW) {
    for (int column = 1; column <= 6; ++column) {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(listing, column));
      std::string value(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(listing, column)));
      // A CREATE keeps its text as written; only its spacing may differ.
      if (column == 5 && value.starts_with("CREATE ")) std::erase_if(value, [](char c) { return IsSpace(c); });
      program += value;
      program.push_back('\x1f');
    }
    program.push_back('\n');
  }
  sqlite3_finalize(listing);
  return program;
}

// The statements of `text` as SQLite reads them: each one's program, or the
// error that ends the reading.
std::vector<std::string> Read(const std::string& text) {
  std::vector<std::string> read;
  const char* at = text.c_str();
  const char* const end = at + text.size();
  while (at < end) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(Database(), at, static_cast<int>(end - at), &statement, &tail) != SQLITE_OK) {
      // The message quotes the token it stopped at as written; spacing and
      // quotes may differ there, the failure may not.
      std::string message = sqlite3_errmsg(Database());
      const size_t first = message.find('"'), last = message.rfind('"');
      if (first != std::string::npos && last > first) message.erase(first, last - first + 1);
      read.push_back("error: " + message);
      return read;
    }
    if (statement) {
      read.push_back(std::to_string(sqlite3_bind_parameter_count(statement)) + " " +
                     Program(std::string_view(at, static_cast<size_t>(tail - at))));
      sqlite3_finalize(statement);
    }
    if (tail == nullptr || tail <= at) break;
    at = tail;
  }
  return read;
}

// Every comment byte for byte and in order; then out of SQLite's sight.
void WithoutComments(std::string& rewritten, const std::vector<std::string>& comments) {
  size_t from = 0;
  for (const std::string& comment : comments) {
    const size_t at = rewritten.find(comment, from);
    if (at == std::string::npos) {
      std::fprintf(stderr, "comment not kept: %s\nrewritten: %s\n", comment.c_str(), rewritten.c_str());
      std::abort();
    }
    rewritten.replace(at, comment.size(), " ");
    from = at + 1;
  }
}

// Whether two readings agree. Where both end in an error, SQLite's message
// may name a different token (spacing moves the point it stops at), so only
// the statements before it count and that both fail.
bool SameReading(std::vector<std::string> a, std::vector<std::string> b) {
  const auto failed = [](const std::vector<std::string>& read) {
    return !read.empty() && read.back().starts_with("error: ");
  };
  if (failed(a) && failed(b)) {
    a.pop_back();
    b.pop_back();
  }
  return a == b;
}

void Compare(const std::string& text, const std::string& rewritten, const std::string& meant) {
  if (!SameReading(Read(meant), Read(rewritten))) {
    std::fprintf(stderr, "the rewrite reads differently\ntext:      %s\nrewritten: %s\nmeant:     %s\n",
                 text.c_str(), rewritten.c_str(), meant.c_str());
    std::abort();
  }
}

bool IsNewIdLiteral(std::string_view text, size_t at) {
  if (at + 38 > text.size() || text[at] != '\'' || text[at + 37] != '\'') return false;
  for (size_t i = 0; i < 36; ++i) {
    const char c = text[at + 1 + i];
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size && lines.size() <= 64; ++i) {
    if (data[i] == '\n') {
      lines.emplace_back();
    } else {
      lines.back().push_back(static_cast<char>(data[i]));
    }
  }
  const bool postgresql = lines[0] == "P";
  const StatementRewrite rewrite{.drop_database_qualifier = true,
                                 .unbracket_names = postgresql,
                                 .new_id_as_literal = true,
                                 .nested_comments = postgresql,
                                 .bom_is_space = !postgresql};

  std::string text;      // the SQL Server text
  std::string meant;     // what it must mean; "\x01" stands for a new identifier
  // What it must mean to the embedded SQLite backend, which keeps NewID()
  // as a call of its own function.
  std::string meant_embedded;
  std::vector<std::string> comments;  // each comment of the text, in order
  const auto put = [&](const std::string& piece, const std::string& meaning,
                       const std::string* embedded = nullptr) {
    text += piece;
    meant += meaning;
    meant_embedded += embedded ? *embedded : meaning;
  };
  bool after_space_mark = false;  // the text ends with a mark SQLite reads as space
  bool mark_before_piece = false;  // ... before the piece being added
  const auto part_from_names = [&] {
    // A qualifier or NewID() is one only where no name goes on before it.
    // Nor right after a point, which SQLite may read as part of a number,
    // or a colon, which it reads as the start of a variable's name.
    if (!text.empty() && ((IsNameChar(text.back()) && !(mark_before_piece && !postgresql)) ||
                          text.back() == '.' || text.back() == ':')) {
      put(" ", " ");
    }
  };
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty()) continue;
    const std::string rest = line.substr(1);
    const bool at_token_start = text.empty() || !IsNameChar(text.back()) || after_space_mark;
    mark_before_piece = after_space_mark;
    after_space_mark = false;
    // After a qualifier comes a name (or anything else that starts no number:
    // "VXSystem..1" would be a qualifier to one reader and not to another).
    const bool after_qualifier = text.ends_with("..");
    if (after_qualifier && (line[0] == '#' || (line[0] == 'o' && rest.starts_with(".")))) continue;
    switch (line[0]) {
      case 'B':  // a byte-order mark
        put("\xEF\xBB\xBF", "\xEF\xBB\xBF");
        after_space_mark = at_token_start;
        break;
      case ' ':
        put(" ", " ");
        break;
      case 'n': {
        const std::string name = Clean(rest, "\"'[]`;-*/(),.=<>!|&~%+:?{}\\ \t\r\f\x0b");
        if (!name.empty() && !(name[0] >= '0' && name[0] <= '9')) put(name, name);
        break;
      }
      case '#': {
        std::string number;
        for (char c : rest) {
          if ((c >= '0' && c <= '9') || c == '.') number.push_back(c);
        }
        if (!number.empty() && number != "." && number.find("..") == std::string::npos) put(number, number);
        break;
      }
      case 's': {
        const std::string literal = "'" + Doubled(Clean(rest, "-*/"), '\'') + "'";
        put(literal, literal);
        break;
      }
      case 'q': {
        const std::string content = Clean(rest, "-*/");
        if (content.empty()) break;
        const std::string quoted = "\"" + Doubled(content, '"') + "\"";
        put(quoted, quoted);
        break;
      }
      case 'b': {
        const std::string content = Clean(rest, "-*/\"]");
        if (content.empty()) break;
        const std::string bracketed = "[" + content + "]";
        // Without brackets: a plain name as it is, any other in double quotes.
        bool plain = !(content[0] >= '0' && content[0] <= '9');
        for (char c : content) {
          plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
        }
        put(bracketed, !postgresql ? bracketed : plain ? " " + content + " " : " \"" + content + "\" ");
        break;
      }
      case 'o': {
        std::string op;
        for (char c : rest.substr(0, 3)) {
          if (std::string_view("+-*/<>=!|&~%,();.:").find(c) != std::string_view::npos) op.push_back(c);
        }
        // A comment opener is a comment, not an operator.
        if (op.empty() || op.find("--") != std::string::npos || op.find("/*") != std::string::npos) break;
        if (!text.empty() && (text.back() == '-' || text.back() == '/') && (op[0] == '-' || op[0] == '*')) break;
        put(op, op);
        break;
      }
      case 'Q': {
        part_from_names();
        std::string qualifier = "VXSystem..";
        for (size_t k = 0; k < 8 && k < rest.size(); ++k) {
          if (rest[k] == 'l') qualifier[k] = static_cast<char>(qualifier[k] | 0x20);
          if (rest[k] == 'u') qualifier[k] = static_cast<char>(qualifier[k] & ~0x20);
        }
        put(qualifier, " ");
        break;
      }
      case 'I': {
        part_from_names();
        std::string call = "NewID";
        for (char c : rest) {
          if (c == '_') call.push_back(' ');
          if (c == '(' || c == ')') break;
        }
        call += "(";
        if (rest.find("_)") != std::string::npos) call.push_back(' ');
        call += ")";
        const std::string embedded = " " + call + " ";
        put(call, " \x01 ", &embedded);
        break;
      }
      case 'c': {
        put(" ", " ");  // a comment begins where no operator goes on
        std::string comment = "/*";
        int depth = 1;
        for (char c : Clean(rest, "*/-")) {
          if (postgresql && c == '{') {
            comment += "/*";
            ++depth;
          } else if (postgresql && c == '}' && depth > 1) {
            comment += "*/";
            --depth;
          } else {
            comment.push_back(c == '{' || c == '}' ? '_' : c);
          }
        }
        while (depth-- > 0) comment += "*/";
        comments.push_back(comment);
        put(comment, " ");
        break;
      }
      case 'l': {
        put(" ", " ");
        const bool cr = postgresql && !rest.empty() && rest[0] == 'r';
        const std::string comment = "--" + Clean(rest, "\r\n-*/") + (cr ? "\r" : "\n");
        comments.push_back(comment);
        put(comment, " ");
        break;
      }
      default:
        break;
    }
  }

  // The embedded backend's own rewrite, for SQLite's rules.
  if (!postgresql) {
    std::string adapted = agendia::db::AdaptForSqlite(text);
    WithoutComments(adapted, comments);
    Compare(text, adapted, meant_embedded);
  }

  agendia::StatusOr<std::string> rewritten = agendia::db::RewriteStatement(text, rewrite);
  if (!rewritten.ok()) return 0;  // the system's random source failed
  std::string got = *rewritten;
  WithoutComments(got, comments);
  // The new identifiers, in order, into what the text means.
  size_t marker = meant.find('\x01');
  for (size_t at = 0; at < got.size(); ++at) {
    if (!IsNewIdLiteral(got, at)) continue;
    if (marker == std::string::npos) std::abort();  // an identifier nobody asked for
    meant.replace(marker, 1, got.substr(at, 38));
    marker = meant.find('\x01', marker);
    at += 37;
  }
  if (marker != std::string::npos) {
    std::fprintf(stderr, "a NewID() call was not replaced: %s\n", got.c_str());
    std::abort();
  }

  Compare(text, got, meant);
  return 0;
}
