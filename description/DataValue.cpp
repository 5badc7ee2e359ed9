#include "description/DataValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

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

// Writes an integral v (below 2^53, or 2^24 for a float) as to_chars writes
// its shortest form, without the general conversion: plain digits, unless
// the exponent form ("1e+05") is shorter. False for any other value.
template <typename F>
bool AppendIntegral(F v, std::string& out) {
  constexpr F kLimit = std::is_same_v<F, float> ? F(16777216) : F(9007199254740992.0);
  if (!(v > -kLimit && v < kLimit)) return false;
  const int64_t n = static_cast<int64_t>(v);
  if (static_cast<F>(n) != v || (n == 0 && std::signbit(v))) return false;
  char buf[24];
  char* const end = std::to_chars(buf, buf + sizeof buf, n).ptr;
  const long digits = (end - buf) - (n < 0 ? 1 : 0);
  long zeros = 0;
  while (n != 0 && end[-1 - zeros] == '0') ++zeros;
  // The exponent form: the significant digits, a point after the first of
  // several, and "e+XX".
  const long significant = digits - zeros;
  if (digits > significant + (significant > 1 ? 1 : 0) + 4) return false;
  out.append(buf, static_cast<size_t>(end - buf));
  return true;
}

template <typename F>
void AppendFloat(F v, std::string& out) {
  if (AppendIntegral(v, out)) return;
  if (std::isnan(v)) {
    out += "NaN";
  } else if (std::isinf(v)) {
    out += v > 0 ? "INF" : "-INF";
  } else {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out.append(buf, static_cast<size_t>(p - buf));
  }
}

}  // namespace

// The plain decimal forms, [-]digits[.digits], whose value one exact
// division gives correctly rounded: a mantissa below 2^53 (2^24 for a
// float) and a power of ten that is itself exact. False for any other
// text, which then takes the general conversion.
template <typename F>
bool ParsePlainDecimal(std::string_view t, F& v) {
  constexpr uint64_t kMantissaLimit = std::is_same_v<F, float> ? (uint64_t(1) << 24) : (uint64_t(1) << 53);
  constexpr size_t kMaxFraction = std::is_same_v<F, float> ? 10 : 22;
  constexpr F kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                           1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) ++i;
  uint64_t m = 0;
  size_t whole = 0, fraction = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++whole) {
    m = m * 10 + static_cast<uint64_t>(t[i] - '0');
    if (m >= kMantissaLimit) return false;
  }
  if (whole == 0) return false;
  if (i < t.size() && t[i] == '.') {
    for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++fraction) {
      m = m * 10 + static_cast<uint64_t>(t[i] - '0');
      if (m >= kMantissaLimit || fraction == kMaxFraction) return false;
    }
    if (fraction == 0) return false;
  }
  if (i != t.size()) return false;
  v = static_cast<F>(m) / kPowers[fraction];
  if (negative) v = -v;
  return true;
}

bool ParseLexical(ColType type, std::string_view text, CDataValue& out) {
  out.null = true;
  out.i = 0;
  out.d = 0;
  if (!out.s.str().empty()) out.s = CDataText();
  if (type == ColType::Text) {
    out.null = false;
    out.s = std::string(text);
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
      if (!ParsePlainDecimal(t, v) && !ParseFloat(t, v)) return false;
      out = CDataValue::Real(v);
      return true;
    }
    case ColType::F32: {
      float v = 0;
      if (!ParsePlainDecimal(t, v) && !ParseFloat(t, v)) return false;
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
      out.append(buf, static_cast<size_t>(p - buf));
    }
  }
}

std::string FormatLexical(ColType type, const CDataValue& value) {
  std::string s;
  AppendLexical(type, value, s);
  return s;
}

}  // namespace lapforge
