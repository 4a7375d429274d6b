// Tables of the console front end as text, CSV and JSON: one row per finding or entry, with a summary.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_args.h"

namespace tw {

// Rows of named columns; the first column of a text row is shown in brackets before the rest.
struct CliTable {
  std::string rowsName;                 // the JSON member holding the rows ("findings", "entries", ...)
  std::vector<std::string> columns;     // JSON member names and CSV header, in order
  std::vector<bool> numeric;            // per column: a number in JSON
  std::vector<std::vector<std::string>> rows;
  std::string countsName;               // the JSON member of the summary ("counts", "totals"); empty for none
  std::vector<std::pair<std::string, long long>> counts;
  // Instead of counts: a number of entries and of bytes per name ("C:" -> 12 files, 4096 bytes).
  struct Total {
    std::string name;
    long long count = 0;
    long long bytes = 0;
  };
  std::vector<Total> totals;
};

// Text in the ANSI code page converted to UTF-8.
using ToUtf8 = std::function<std::string(const std::string&)>;

// The whole output in one format: text in the ANSI code page, CSV and JSON in UTF-8.
// `summaryTitle` heads the text summary ("Problems found", ...).
std::string RenderTable(const CliTable& table, CliFormat format, const ToUtf8& toUtf8, const std::string& summaryTitle);

// UTF-16 code units as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace tw
