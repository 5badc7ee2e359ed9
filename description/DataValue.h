// One column value of a dataset row: null or a value of the column's type.
// Integers and booleans are held as int64, both float widths as double (an
// f32 column only ever holds values exactly representable as float), text as
// a string.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace lapforge {

enum class ColType : uint8_t { Text, F64, F32, Bool, U16, I8, I32, I64 };

const char* ColTypeName(ColType t);

// Text held out of line: most values of a description are numbers, and a
// value stays small (one pointer) when it holds none. Copies are deep.
class CDataText {
 public:
  CDataText() = default;
  CDataText(std::string v) : p_(v.empty() ? nullptr : new std::string(std::move(v))) {}
  CDataText(const CDataText& o) : p_(o.p_ ? new std::string(*o.p_) : nullptr) {}
  CDataText(CDataText&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  CDataText& operator=(const CDataText& o) {
    if (this != &o) {
      CDataText copy(o);
      std::swap(p_, copy.p_);
    }
    return *this;
  }
  CDataText& operator=(CDataText&& o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~CDataText() { delete p_; }

  const std::string& str() const { return p_ ? *p_ : Empty(); }
  operator const std::string&() const { return str(); }
  bool operator==(const CDataText& o) const { return str() == o.str(); }

 private:
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }
  std::string* p_ = nullptr;
};

struct CDataValue {
  bool null = true;
  int64_t i = 0;
  double d = 0;
  CDataText s;

  static CDataValue Null() { return {}; }
  // A number carries both forms, so that it may be stored in a column of
  // either kind: an integer as itself, a real rounded to the nearest
  // integer (ties to even, as the dataset's conversions do).
  static CDataValue Int(int64_t v) {
    CDataValue x;
    x.null = false;
    x.i = v;
    x.d = static_cast<double>(v);
    return x;
  }
  static CDataValue Real(double v) {
    CDataValue x;
    x.null = false;
    x.d = v;
    x.i = (v > -9.2e18 && v < 9.2e18) ? static_cast<int64_t>(std::nearbyint(v)) : 0;
    return x;
  }
  static CDataValue Text(std::string v) {
    CDataValue x;
    x.null = false;
    x.s = std::move(v);
    return x;
  }
  bool operator==(const CDataValue& o) const;
};

// Conversions between values and the XML Schema lexical forms, independent
// of the locale: "true"/"false", decimal integers, floats in the shortest
// form that reads back to the same value (judged at the column's width),
// INF, -INF and NaN.
// Parse returns false when the text does not convert to the type (or is out
// of the type's range).
bool ParseLexical(ColType type, std::string_view text, CDataValue& out);
std::string FormatLexical(ColType type, const CDataValue& value);
void AppendLexical(ColType type, const CDataValue& value, std::string& out);

// Whether an integer fits the column type's range.
inline bool IntegerFits(ColType type, int64_t v) {
  switch (type) {
    case ColType::Bool:
      return v == 0 || v == 1;
    case ColType::U16:
      return v >= 0 && v <= 65535;
    case ColType::I8:
      return v >= -128 && v <= 127;
    case ColType::I32:
      return v >= INT32_MIN && v <= INT32_MAX;
    default:
      return true;
  }
}

}  // namespace lapforge
