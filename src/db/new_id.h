#pragma once

#include <array>
#include <optional>
#include <string>

namespace agendia::db {

// A new random identifier in the text form SQL Server's NEWID() gives:
// upper-case hexadecimal in groups 8-4-4-4-12, a version 4 (random) GUID,
// e.g. "3F2504E0-4F89-41D3-9A0C-0305E82C3301". Its 122 random bits come from
// the operating system's random source. Nothing when that source fails.
std::optional<std::string> NewIdText();

// The text form of 16 bytes exactly as they are.
std::string FormatId(const std::array<unsigned char, 16>& bytes);

}  // namespace agendia::db
