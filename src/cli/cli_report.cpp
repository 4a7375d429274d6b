#include "cli/cli_report.h"

#include <nlohmann/json.hpp>

namespace tw {
namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string RenderTable(const CliTable& table, CliFormat format, const ToUtf8& toUtf8, const std::string& summaryTitle) {
  const size_t columns = table.columns.size();
  if (format == CliFormat::Csv) {
    std::string out;
    for (size_t c = 0; c < columns; ++c) out += (c ? "," : "") + CsvField(table.columns[c]);
    out += "\r\n";
    for (const auto& row : table.rows) {
      for (size_t c = 0; c < columns; ++c) out += (c ? "," : "") + CsvField(toUtf8(c < row.size() ? row[c] : ""));
      out += "\r\n";
    }
    return out;
  }
  if (format == CliFormat::Json) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& row : table.rows) {
      nlohmann::ordered_json item = nlohmann::ordered_json::object();
      for (size_t c = 0; c < columns; ++c) {
        const std::string value = c < row.size() ? row[c] : "";
        if (c < table.numeric.size() && table.numeric[c])
          item[table.columns[c]] = std::stoll(value.empty() ? "0" : value);
        else
          item[table.columns[c]] = toUtf8(value);
      }
      rows.push_back(std::move(item));
    }
    nlohmann::ordered_json doc = nlohmann::ordered_json::object();
    doc[table.rowsName] = std::move(rows);
    if (!table.countsName.empty()) {
      nlohmann::ordered_json counts = nlohmann::ordered_json::object();
      for (const auto& [name, count] : table.counts) counts[toUtf8(name)] = count;
      for (const CliTable::Total& t : table.totals) counts[toUtf8(t.name)] = {{"count", t.count}, {"bytes", t.bytes}};
      doc[table.countsName] = std::move(counts);
    }
    return doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  }
  std::string out;
  for (const auto& row : table.rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      const std::string field = Trimmed(row[c]);
      if (c == 0) line = "[" + field + "]";
      else if (c == 1) line += " " + field;
      else line += (c == 2 ? ": " : " | ") + field;
    }
    out += line + "\n";
  }
  if (!summaryTitle.empty()) {
    long long total = 0;
    for (const auto& entry : table.counts) total += entry.second;
    long long bytes = 0;
    for (const CliTable::Total& t : table.totals) total += t.count, bytes += t.bytes;
    const auto withBytes = [&](long long n, long long b) {
      return std::to_string(n) + (table.totals.empty() ? "" : " (" + std::to_string(b) + " bytes)");
    };
    out += (table.rows.empty() ? "" : "\n") + summaryTitle + ": " + withBytes(total, bytes) + "\n";
    for (const auto& [name, count] : table.counts) out += "  " + name + ": " + std::to_string(count) + "\n";
    for (const CliTable::Total& t : table.totals) out += "  " + t.name + " " + withBytes(t.count, t.bytes) + "\n";
  }
  return out;
}

}  // namespace tw
