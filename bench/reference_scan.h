#pragma once

#include "measure.h"

#include <string>

namespace agendia::bench {

// The floor the tree's load is compared with: the window's own select of the
// user's memos, in the text the SQLite backend runs, stepped through with the
// sqlite3 C library, every column of every row read as its type. Measured
// from opening the file to closing it; `rows` is set to the rows read.
Sample ReferenceScan(const std::string& path, int& rows);

}  // namespace agendia::bench
