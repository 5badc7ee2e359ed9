#include "description/DataValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace lapforge {

const char* ColTypeName(ColType t) {
  switch (t) {
    case ColType::Text:
      return "String";
    case ColType::F64:
      return "Double";
    case ColType::F32:
      return "Single";
    case ColType::Bool:
      return "Boolean";
    case ColType::U16:
      return "UInt16";
    case ColType::I8:
      return "SByte";
    case ColType::I32:
      return "Int32";
    case ColType::I64:
      return "Int64";
  }
  return "?";
}

bool CDataValue::operator==(const CDataValue& o) const {
  if (null || o.null) return null == o.null;
  if (i != o.i || s != o.s) return false;
  return d == o.d || (std::isnan(d) && std::isnan(o.d));
}

namespace {

std::string_view Collapse(std::string_view t) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!t.empty() && blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && blank(t.back())) t.remove_suffix(1);
  return t;
}

// A '+' sign is taken off; a second sign after it ("+-3") is no number.
bool TakePlus(std::string_view& t) {
  if (t.empty() || t.front() != '+') return true;
  t.remove_prefix(1);
  return t.empty() || (t.front() != '+' && t.front() != '-');
}

bool ParseInteger(std::string_view t, int64_t& v) {
  if (!TakePlus(t) || t.empty()) return false;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return ec == std::errc() && p == t.data() + t.size();
}

// Whether a number in decimal lexical form (sign, digits with an optional
// point, optional exponent) that is out of a type's range lies above it,
// rather than below it: its first significant digit stands left of the
// point once the exponent is applied.
bool AboveRange(std::string_view t) {
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) t.remove_prefix(1);
  const size_t e = t.find_first_of("eE");
  const std::string_view mantissa = t.substr(0, e);
  const size_t point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
  long long scale = 0;
  if (size_t nz = whole.find_first_not_of('0'); nz != std::string_view::npos) {
    scale = static_cast<long long>(whole.size() - nz);
  } else {
    size_t fz = fraction.find_first_not_of('0');
    if (fz == std::string_view::npos) return false;  // zero
    scale = -static_cast<long long>(fz);
  }
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view x = t.substr(e + 1);
    bool negative = !x.empty() && x.front() == '-';
    if (!x.empty() && (x.front() == '-' || x.front() == '+')) x.remove_prefix(1);
    // Saturated: far beyond any type's range either way.
    for (char c : x) exponent = std::min(exponent * 10 + (c - '0'), 1000000000LL);
    if (negative) exponent = -exponent;
  }
  return scale + exponent > 0;
}

template <typename F>
bool ParseFloat(std::string_view t, F& v) {
  if (t == "INF" || t == "+INF") {
    v = std::numeric_limits<F>::infinity();
    return true;
  }
  if (t == "-INF") {
    v = -std::numeric_limits<F>::infinity();
    return true;
  }
  if (t == "NaN") {
    v = std::numeric_limits<F>::quiet_NaN();
    return true;
  }
  if (!TakePlus(t) || t.empty()) return false;
  // The lexical form has digits, an optional point and exponent; words such
  // as "inf" or "nan" in other spellings are not numbers here.
  for (char c : t) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+')) return false;
  }
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Overflow reads as infinity, underflow as zero (with its sign), as
    // XML Schema readers do: the reader leaves v as it was for either.
    if (p != t.data() + t.size()) return false;
    const bool negative = t.front() == '-';
    if (AboveRange(t))
      v = negative ? -std::numeric_limits<F>::infinity() : std::numeric_limits<F>::infinity();
    else
      v = negative ? -F(0) : F(0);
    return true;
  }
  return ec == std::errc() && p == t.data() + t.size();
}

template <typename F>
void AppendFloat(F v, std::string& out) {
  if (std::isnan(v)) {
    out += "NaN";
  } else if (std::isinf(v)) {
    out += v > 0 ? "INF" : "-INF";
  } else {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out.append(buf, p);
  }
}

}  // namespace

bool ParseLexical(ColType type, std::string_view text, CDataValue& out) {
  out = CDataValue();
  if (type == ColType::Text) {
    out = CDataValue::Text(std::string(text));
    return true;
  }
  std::string_view t = Collapse(text);
  switch (type) {
    case ColType::Bool:
      if (t == "true" || t == "1") {
        out = CDataValue::Int(1);
        return true;
      }
      if (t == "false" || t == "0") {
        out = CDataValue::Int(0);
        return true;
      }
      return false;
    case ColType::U16:
    case ColType::I8:
    case ColType::I32:
    case ColType::I64: {
      int64_t v = 0;
      if (!ParseInteger(t, v) || !IntegerFits(type, v)) return false;
      out = CDataValue::Int(v);
      return true;
    }
    case ColType::F64: {
      double v = 0;
      if (!ParseFloat(t, v)) return false;
      out = CDataValue::Real(v);
      return true;
    }
    case ColType::F32: {
      float v = 0;
      if (!ParseFloat(t, v)) return false;
      out = CDataValue::Real(v);
      return true;
    }
    case ColType::Text:
      break;
  }
  return false;
}

void AppendLexical(ColType type, const CDataValue& value, std::string& out) {
  if (value.null) return;
  switch (type) {
    case ColType::Text:
      out += value.s.str();
      break;
    case ColType::Bool:
      out += value.i ? "true" : "false";
      break;
    case ColType::F64:
      AppendFloat(value.d, out);
      break;
    case ColType::F32:
      AppendFloat(static_cast<float>(value.d), out);
      break;
    default: {
      char buf[32];
      auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value.i);
      (void)ec;
      out.append(buf, p);
    }
  }
}

std::string FormatLexical(ColType type, const CDataValue& value) {
  std::string s;
  AppendLexical(type, value, s);
  return s;
}

}  // namespace lapforge
