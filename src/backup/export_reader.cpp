#include "backup/export_reader.h"

#include <optional>

namespace tw {

namespace {

// The physical lines of the file as UTF-16 text, without their CR LF or LF.
class LineSource {
 public:
  LineSource(const std::string& bytes, const CodePageDecoder& decode) : bytes_(bytes), decode_(decode) {
    if (bytes_.size() >= 2 && Byte(0) == 0xFF && Byte(1) == 0xFE) {
      utf16_ = true;
      pos_ = 2;
    } else if (bytes_.size() >= 2 && Byte(0) != 0 && Byte(1) == 0) {
      // UTF-16 that lost its byte-order mark: text of the first 256 code points has every second byte zero.
      utf16_ = true;
    }
  }

  bool Utf16() const { return utf16_; }

  bool Next(std::u16string* line) {
    line->clear();
    if (pos_ >= End()) return false;
    if (utf16_) {
      for (; pos_ + 1 < bytes_.size(); pos_ += 2) {
        const char16_t unit = static_cast<char16_t>(Byte(pos_) | (Byte(pos_ + 1) << 8));
        if (unit == u'\n') {
          pos_ += 2;
          break;
        }
        line->push_back(unit);
      }
      if (pos_ + 1 >= bytes_.size()) pos_ = bytes_.size();  // a lone last byte is half a unit
    } else {
      size_t end = bytes_.find('\n', pos_);
      if (end == std::string::npos) end = bytes_.size();
      *line = Decode(bytes_.substr(pos_, end - pos_));
      pos_ = end + 1;
    }
    if (!line->empty() && line->back() == u'\r') line->pop_back();
    return true;
  }

  std::u16string Decode(const std::string& text) const {
    if (decode_) return decode_(text);
    std::u16string units;
    units.reserve(text.size());
    for (char c : text) units.push_back(static_cast<uint8_t>(c));
    return units;
  }

 private:
  uint8_t Byte(size_t i) const { return static_cast<uint8_t>(bytes_[i]); }
  size_t End() const { return bytes_.size(); }

  const std::string& bytes_;
  const CodePageDecoder& decode_;
  bool utf16_ = false;
  size_t pos_ = 0;
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimmedStart(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::u16string_view Trimmed(std::u16string_view text) {
  text = TrimmedStart(text);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::u16string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != static_cast<char16_t>(prefix[i])) return false;
  }
  return true;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// A quoted text starting at `text[0]` (the opening quote) with the escapes \\ \" \n \r \0; `rest` gets what
// follows the closing quote. Empty when the quote is never closed.
std::optional<std::u16string> Unquote(std::u16string_view text, std::u16string_view* rest) {
  std::u16string out;
  for (size_t i = 1; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'"') {
      *rest = text.substr(i + 1);
      return out;
    }
    if (c != u'\\' || i + 1 == text.size()) {
      out.push_back(c);
      continue;
    }
    const char16_t next = text[++i];
    switch (next) {
      case u'\\': out.push_back(u'\\'); break;
      case u'"': out.push_back(u'"'); break;
      case u'n': out.push_back(u'\n'); break;
      case u'r': out.push_back(u'\r'); break;
      case u'0': out.push_back(u'\0'); break;
      default:
        out.push_back(u'\\');
        out.push_back(next);
    }
  }
  return std::nullopt;
}

// Comma-separated bytes of one or two hex digits, blanks allowed, a comma after the last allowed.
// `continues` tells whether the text ends with the backslash that joins the next line.
bool ParseHexBytes(std::u16string_view text, Bytes* out, bool* continues) {
  text = Trimmed(text);
  *continues = !text.empty() && text.back() == u'\\';
  if (*continues) text = Trimmed(text.substr(0, text.size() - 1));
  size_t i = 0;
  while (i < text.size()) {
    int value = 0;
    int digits = 0;
    while (i < text.size() && digits < 3 && HexDigit(text[i]) >= 0) value = value * 16 + HexDigit(text[i++]), ++digits;
    if (digits == 0 || digits > 2) return false;
    out->push_back(static_cast<uint8_t>(value));
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) break;
    if (text[i] != u',') return false;
    ++i;
    while (i < text.size() && IsBlank(text[i])) ++i;
  }
  // Without a trailing comma a continued line would run two bytes together.
  return !*continues || text.empty() || text.back() == u',';
}

void AppendUnits(Bytes& out, std::u16string_view units) {
  for (char16_t unit : units) {
    out.push_back(static_cast<uint8_t>(unit & 0xFF));
    out.push_back(static_cast<uint8_t>(unit >> 8));
  }
}

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

class Parser {
 public:
  Parser(const std::string& bytes, const CodePageDecoder& decode, const RegKeySink& sink)
      : lines_(bytes, decode), sink_(sink) {}

  RegFileSummary Run() {
    summary_.utf16 = lines_.Utf16();
    std::u16string line;
    if (!lines_.Next(&line)) return summary_;
    const std::u16string_view header = Trimmed(line);
    if (header == u"Windows Registry Editor Version 5.00") {
      summary_.header = RegHeader::Version5;
    } else if (header == u"REGEDIT4") {
      summary_.header = RegHeader::Regedit4;
    } else {
      return summary_;
    }
    while (lines_.Next(&line)) Line(line);
    Flush();
    return summary_;
  }

 private:
  void Line(const std::u16string& physical) {
    const std::u16string_view line = TrimmedStart(physical);
    if (line.empty() || line[0] == u';') return;
    if (line[0] == u'[') {
      KeyLine(line);
    } else if (line[0] == u'@' || line[0] == u'"') {
      if (!ValueLine(line)) ++summary_.skippedLines;
    } else {
      ++summary_.skippedLines;
    }
  }

  void KeyLine(std::u16string_view line) {
    line = Trimmed(line);
    // A key name may hold "]": the line's last one closes it.
    if (line.size() < 2 || line.back() != u']') {
      ++summary_.skippedLines;
      Flush();
      return;
    }
    RegFileKey key;
    std::u16string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path[0] == u'-') {
      key.deleted = true;
      path.remove_prefix(1);
    }
    key.path = std::u16string(path);
    Flush();
    key_ = std::move(key);
    hasKey_ = true;
  }

  void Flush() {
    if (hasKey_) sink_(std::move(key_));
    hasKey_ = false;
    key_ = RegFileKey();
  }

  bool ValueLine(std::u16string_view line) {
    RegFileValue value;
    std::u16string_view rest;
    if (line[0] == u'@') {
      rest = line.substr(1);
    } else {
      std::optional<std::u16string> name = Unquote(line, &rest);
      if (!name) return false;
      value.name = std::move(*name);
    }
    rest = TrimmedStart(rest);
    if (rest.empty() || rest[0] != u'=') return false;
    rest = Trimmed(rest.substr(1));
    if (!Data(rest, &value)) return false;
    if (!hasKey_) return false;  // a value before any key line
    if (!key_.deleted) key_.values.push_back(std::move(value));
    return true;
  }

  bool Data(std::u16string_view data, RegFileValue* value) {
    if (data == u"-") {
      value->deleted = true;
      return true;
    }
    if (!data.empty() && data[0] == u'"') {
      std::u16string_view rest;
      std::optional<std::u16string> text = Unquote(data, &rest);
      if (!text || !Trimmed(rest).empty()) return false;
      value->type = kRegSz;
      AppendUnits(value->data, *text);
      AppendUnits(value->data, std::u16string(1, u'\0'));
      return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
      const std::u16string_view digits = data.substr(6);
      if (digits.empty() || digits.size() > 8) return false;
      uint32_t number = 0;
      for (char16_t c : digits) {
        if (HexDigit(c) < 0) return false;
        number = number * 16 + static_cast<uint32_t>(HexDigit(c));
      }
      value->type = kRegDword;
      for (int i = 0; i < 4; ++i) value->data.push_back(static_cast<uint8_t>(number >> (8 * i)));
      return true;
    }
    if (StartsWithNoCase(data, "hex:")) {
      value->type = kRegBinary;
      return HexData(data.substr(4), value);
    }
    if (StartsWithNoCase(data, "hex(")) {
      const size_t close = data.find(u"):");
      if (close == std::u16string_view::npos || close == 4 || close > 12) return false;
      uint32_t type = 0;
      for (char16_t c : data.substr(4, close - 4)) {
        if (HexDigit(c) < 0) return false;
        type = type * 16 + static_cast<uint32_t>(HexDigit(c));
      }
      value->type = type;
      return HexData(data.substr(close + 2), value);
    }
    return false;
  }

  // Bytes over as many lines as the backslashes join. A value cut off by the end of the file is not read.
  bool HexData(std::u16string_view first, RegFileValue* value) {
    std::u16string next;
    bool continues = false;
    if (!ParseHexBytes(first, &value->data, &continues)) return false;
    while (continues) {
      if (!lines_.Next(&next) || !ParseHexBytes(next, &value->data, &continues)) return false;
    }
    // Under "REGEDIT4" string bytes are text of the code page; the import stores them as UTF-16.
    if (summary_.header == RegHeader::Regedit4 && IsStringType(value->type)) {
      const std::u16string units = lines_.Decode(std::string(value->data.begin(), value->data.end()));
      value->data.clear();
      AppendUnits(value->data, units);
    }
    return true;
  }

  LineSource lines_;
  const RegKeySink& sink_;
  RegFileSummary summary_;
  RegFileKey key_;       // the key the value lines belong to
  bool hasKey_ = false;  // false before the first key line and after one that could not be read
};

}  // namespace

RegFileSummary ReadRegFile(const std::string& bytes, const CodePageDecoder& decode, const RegKeySink& sink) {
  return Parser(bytes, decode, sink).Run();
}

RegFile ReadRegFile(const std::string& bytes, const CodePageDecoder& decode) {
  RegFile file;
  static_cast<RegFileSummary&>(file) =
      ReadRegFile(bytes, decode, [&file](RegFileKey&& key) { file.keys.push_back(std::move(key)); });
  return file;
}

}  // namespace tw
