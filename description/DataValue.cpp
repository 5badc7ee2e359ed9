#include "description/DataValue.h"

#include <charconv>
#include <cmath>
#include <limits>

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

bool ParseInteger(std::string_view t, int64_t& v) {
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return ec == std::errc() && p == t.data() + t.size();
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
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  // The lexical form has digits, an optional point and exponent; words such
  // as "inf" or "nan" in other spellings are not numbers here.
  for (char c : t) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+')) return false;
  }
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Overflow reads as infinity, underflow as zero, as XML Schema readers do.
    double big = 0;
    std::from_chars(t.data(), t.data() + t.size(), big);
    v = static_cast<F>(big);
    return p == t.data() + t.size();
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
