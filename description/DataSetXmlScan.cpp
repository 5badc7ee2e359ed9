#include "description/DataSetXmlScan.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "support/FileIO.h"
#include "support/System.h"

namespace lapforge {

namespace {

// Thrown when the document leaves the plain shape (or is not well formed):
// the full reader takes over.
struct LeaveToFullReader {};
[[noreturn]] void GiveUp() { throw LeaveToFullReader{}; }

// Character classes, looked up in one table.
enum : uint8_t { kSpace = 1, kNameStart = 2, kNameChar = 4, kTextMark = 8 };
constexpr auto kClasses = [] {
  std::array<uint8_t, 256> c{};
  for (int ch : {' ', '\t', '\n', '\r'}) c[static_cast<size_t>(ch)] |= kSpace;
  for (int ch = 0; ch < 256; ++ch) {
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_';
    if (letter) c[static_cast<size_t>(ch)] |= kNameStart | kNameChar;
    if ((ch >= '0' && ch <= '9') || ch == '-' || ch == '.' || ch == ':') c[static_cast<size_t>(ch)] |= kNameChar;
  }
  // What ends a value's text or needs decoding in it.
  for (int ch : {'<', '&', '\r'}) c[static_cast<size_t>(ch)] |= kTextMark;
  return c;
}();
bool Is(char c, uint8_t cls) { return kClasses[static_cast<unsigned char>(c)] & cls; }
bool IsSpace(char c) { return Is(c, kSpace); }
bool IsNameStart(char c) { return Is(c, kNameStart); }
bool IsNameChar(char c) { return Is(c, kNameChar); }

// Appends code point u as UTF-8.
void AppendUtf8(std::string& out, uint32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// The character a reference names (the text between '&' and ';'), appended
// to out; false for anything but the predefined entities and a character
// reference to a character other than NUL and the surrogates.
bool AppendReference(std::string_view ref, std::string& out) {
  if (ref == "lt") return out += '<', true;
  if (ref == "gt") return out += '>', true;
  if (ref == "amp") return out += '&', true;
  if (ref == "apos") return out += '\'', true;
  if (ref == "quot") return out += '"', true;
  if (ref.size() < 2 || ref[0] != '#') return false;
  const bool hex = ref[1] == 'x';
  std::string_view digits = ref.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 7) return false;
  uint32_t u = 0;
  for (char c : digits) {
    uint32_t d;
    if (c >= '0' && c <= '9')
      d = static_cast<uint32_t>(c - '0');
    else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
      d = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
    else
      return false;
    u = u * (hex ? 16 : 10) + d;
  }
  if (u == 0 || (u >= 0xD800 && u < 0xE000) || u >= 0x110000) return false;
  AppendUtf8(out, u);
  return true;
}

class Scanner {
 public:
  // Reads the document from text.
  Scanner(CDataSet& ds, std::string_view text) : Scanner(ds) {
    p_ = text.data();
    end_ = text.data() + text.size();
    if (std::memchr(p_, 0, text.size())) GiveUp();
  }

  // Reads the document from a file, a window at a time.
  Scanner(CDataSet& ds, const std::string& path) : Scanner(ds) {
    sys::FileInfo info;
    fd_ = sys::OpenForRead(path, info);
    if (fd_ < 0 || info.kind != sys::Kind::Regular || info.size > kMaxReadBytes) GiveUp();
    window_.resize(kWindow);
    p_ = end_ = window_.data();
    TopUp();
  }

  ~Scanner() {
    if (fd_ >= 0) ::close(fd_);
  }
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

 private:
  explicit Scanner(CDataSet& ds) : ds_(ds) {
    names_.resize(static_cast<size_t>(ds.TableCount()));
    for (int t = 0; t < ds.TableCount(); ++t) {
      const CDataTable& table = ds.Table(t);
      TableNames& n = names_[static_cast<size_t>(t)];
      n.name = table.Name();
      for (int c = 0; c < table.ColumnCount(); ++c)
        if (!(table.Column(c).flags & kColHidden)) n.columns.push_back({EncodeXmlName(table.Column(c).name), c});
      for (int r = 0; r < ds.RelationCount(); ++r) {
        const RelationSchema& rs = ds.Relation(r);
        if (rs.parentTable == t) n.children.push_back({ds.Table(rs.childTable).Name(), r});
      }
      // A column name that reads as a name and is no child table's.
      for (Named& col : n.columns) {
        col.foreseeable = !col.name.empty() && IsNameStart(col.name[0]) && !Find(n.children, col.name, 0);
        for (char ch : col.name) col.foreseeable = col.foreseeable && IsNameChar(ch) && ch != ':';
      }
    }
  }

 public:
  // Reads the whole document into the dataset; throws when it leaves the
  // plain shape or a row does not fit.
  void Document() {
    if (At("\xEF\xBB\xBF")) p_ += 3;
    if (At("<?xml") && end_ - p_ > 5 && IsSpace(p_[5])) Declaration();
    for (;;) {
      SkipSpace();
      if (At("<!--")) {
        Comment();
        continue;
      }
      if (p_ == end_ || *p_ != '<') GiveUp();
      ++p_;
      break;
    }
    const std::string root(Name());
    if (root.find(':') != std::string::npos || root != ds_.Schema().name) GiveUp();
    std::string_view ns;
    bool declares = false;
    const bool empty = Attributes(declares, &ns);
    if (!declares || ns != ds_.Schema().nameSpace) GiveUp();
    if (!empty) {
      // Between two rows of the root no text of the window is referred to:
      // the window may move on.
      for (TopUp(); Next(); TopUp()) {
        const std::string_view name = Name();
        bool childEmpty = StartTagInScope();
        int t = FindTable(name);
        if (t >= 0)
          Row(t, nullptr, -1, childEmpty);
        else if (!childEmpty)
          SkipElement(name);
      }
      EndTag(root);
    }
    for (;;) {
      TopUp();
      SkipSpace();
      if (p_ == end_ && fd_ < 0) break;
      if (!At("<!--")) GiveUp();
      Comment();
    }
  }

 private:
  struct Named {
    std::string name;
    int index;                 // column or relation
    bool foreseeable = false;  // a column whose "<name>" may be matched whole
  };
  struct TableNames {
    std::string name;
    std::vector<Named> columns;   // visible columns, as written
    std::vector<Named> children;  // child tables, by relation
  };

  // A window of the file holds at least half its size of text not yet
  // read, or the rest of the file; a row larger than that is left to the
  // full reader.
  static constexpr size_t kWindow = size_t(1) << 20;

  void TopUp() {
    if (fd_ < 0 || static_cast<size_t>(end_ - p_) >= kWindow / 2) return;
    size_t have = static_cast<size_t>(end_ - p_);
    std::memmove(window_.data(), p_, have);
    while (have < kWindow) {
      const auto n = ::read(fd_, window_.data() + have, static_cast<unsigned>(kWindow - have));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) GiveUp();
      if (n == 0) {
        ::close(fd_);
        fd_ = -1;
        break;
      }
      read_ += static_cast<uint64_t>(n);
      if (read_ > kMaxReadBytes || std::memchr(window_.data() + have, 0, static_cast<size_t>(n))) GiveUp();
      have += static_cast<size_t>(n);
    }
    p_ = window_.data();
    end_ = p_ + have;
  }

  bool At(std::string_view s) const {
    return static_cast<size_t>(end_ - p_) >= s.size() && std::memcmp(p_, s.data(), s.size()) == 0;
  }
  void SkipSpace() {
    while (p_ != end_ && IsSpace(*p_)) ++p_;
  }
  void Expect(char c) {
    if (p_ == end_ || *p_ != c) GiveUp();
    ++p_;
  }

  // The first place of what in the text not yet read; null when it is not there.
  const char* Find(std::string_view what) const {
    const size_t at = std::string_view(p_, static_cast<size_t>(end_ - p_)).find(what);
    return at == std::string_view::npos ? nullptr : p_ + at;
  }

  // The XML declaration: only UTF-8 is read here.
  void Declaration() {
    const char* close = Find("?>");
    if (!close) GiveUp();
    const std::string_view decl(p_, static_cast<size_t>(close - p_));
    if (const size_t e = decl.find("encoding"); e != std::string_view::npos) {
      std::string_view v = decl.substr(e + 8);
      while (!v.empty() && IsSpace(v.front())) v.remove_prefix(1);
      if (v.empty() || v.front() != '=') GiveUp();
      v.remove_prefix(1);
      while (!v.empty() && IsSpace(v.front())) v.remove_prefix(1);
      if (v.size() < 7 || (v[0] != '"' && v[0] != '\'') || v[6] != v[0]) GiveUp();
      const std::string_view name = v.substr(1, 5);
      for (size_t i = 0; i < 5; ++i)
        if ((name[i] | 0x20) != "utf-8"[i]) GiveUp();
    }
    p_ = close + 2;
  }

  void Comment() {
    p_ += 4;
    const char* dashes = Find("--");
    if (!dashes || end_ - dashes < 3 || dashes[2] != '>') GiveUp();
    p_ = dashes + 3;
  }

  std::string_view Name() {
    const char* start = p_;
    if (p_ == end_ || !IsNameStart(*p_)) GiveUp();
    while (++p_ != end_ && IsNameChar(*p_)) {
    }
    return {start, static_cast<size_t>(p_ - start)};
  }

  // The attributes and the end of a start tag whose name has been read;
  // whether the element is empty ("/>"). For the root (ns given) ns
  // receives its default namespace and declares whether it has one; for
  // any other element declares tells whether it binds a namespace.
  bool Attributes(bool& declares, std::string_view* ns) {
    for (;;) {
      if (p_ == end_) GiveUp();
      if (*p_ == '>') {
        ++p_;
        return false;
      }
      if (*p_ == '/') {
        ++p_;
        Expect('>');
        return true;
      }
      if (!IsSpace(*p_)) GiveUp();
      SkipSpace();
      if (p_ != end_ && (*p_ == '>' || *p_ == '/')) continue;
      const std::string_view name = Name();
      SkipSpace();
      Expect('=');
      SkipSpace();
      if (p_ == end_ || (*p_ != '"' && *p_ != '\'')) GiveUp();
      const char quote = *p_++;
      const char* start = p_;
      while (p_ != end_ && *p_ != quote) {
        const char c = *p_++;
        if (c == '<' || c == '&' || c == '\t' || c == '\n' || c == '\r') GiveUp();
      }
      if (p_ == end_) GiveUp();
      const std::string_view value(start, static_cast<size_t>(p_ - start));
      ++p_;
      if (ns) {
        // The root: its first default namespace declaration counts.
        if (name == "xmlns" && !declares) *ns = value, declares = true;
      } else if (name.substr(0, 5) == "xmlns") {
        declares = true;
      }
    }
  }

  // The rest of a start tag of an element whose name and namespace matter:
  // one in the root's default namespace; whether it is empty.
  bool StartTagInScope() {
    if (p_ != end_ && *p_ == '>') {
      ++p_;
      return false;
    }
    bool declares = false;
    const bool empty = Attributes(declares, nullptr);
    if (declares) GiveUp();
    return empty;
  }

  // Moves past text and comments to the next tag: true for a start tag
  // (its '<' read), false for an end tag ("</" read).
  bool Next() {
    for (;;) {
      // Mostly a line end and indentation lie between two tags.
      const char* lt = p_;
      while (lt != end_ && *lt != '<') ++lt;
      if (end_ - lt < 2) GiveUp();
      p_ = lt + 1;
      if (*p_ == '/') {
        ++p_;
        return false;
      }
      if (*p_ == '!' && At("!--")) {
        --p_;
        Comment();
        continue;
      }
      if (*p_ == '!' || *p_ == '?') GiveUp();
      return true;
    }
  }

  void EndTag(std::string_view name) {
    if (!At(name)) GiveUp();
    p_ += name.size();
    if (p_ != end_ && *p_ == '>') {
      ++p_;
      return;
    }
    SkipSpace();
    Expect('>');
  }

  // An element whose start tag has been read and whose content is of no
  // interest: its content is only checked to be well formed.
  void SkipElement(std::string_view name) {
    open_.clear();
    open_.push_back(name);
    while (!open_.empty()) {
      if (!Next()) {
        EndTag(open_.back());
        open_.pop_back();
        continue;
      }
      const std::string_view inner = Name();
      bool declares = false;
      if (!Attributes(declares, nullptr)) open_.push_back(inner);
    }
  }

  int FindTable(std::string_view name) const {
    for (size_t t = 0; t < names_.size(); ++t)
      if (names_[t].name == name) return static_cast<int>(t);
    return -1;
  }

  // A row element of table t whose start tag has been read: its values,
  // then its child rows. A row is added when its first child row starts or
  // at its end; a value after a child row is left to the full reader, which
  // sets every value before adding the row.
  void Row(int t, CDataRow* parent, int rel, bool empty) {
    CDataTable& table = ds_.Table(t);
    const TableNames& names = names_[static_cast<size_t>(t)];
    CDataRow* row = table.NewRow();
    if (parent) row->SetParentRow(rel, parent);
    bool added = false;
    size_t hint = 0;  // columns are mostly written in column order
    if (!empty) {
      while (Next()) {
        // Values mostly come in column order: the next column's start tag
        // is tried whole first.
        if (hint < names.columns.size() && names.columns[hint].foreseeable) {
          const Named& next = names.columns[hint];
          const size_t n = next.name.size();
          if (static_cast<size_t>(end_ - p_) > n && p_[n] == '>' && std::memcmp(p_, next.name.data(), n) == 0) {
            if (added) GiveUp();
            const std::string_view name(p_, n);
            p_ += n + 1;
            ++hint;
            Value(*row, next.index, name, false);
            continue;
          }
        }
        const std::string_view name = Name();
        const bool childEmpty = StartTagInScope();
        if (const Named* child = Find(names.children, name, 0)) {
          if (!added) table.AddRow(row);
          added = true;
          Row(ds_.Relation(child->index).childTable, row, child->index, childEmpty);
        } else if (const Named* col = Find(names.columns, name, hint)) {
          if (added) GiveUp();
          hint = static_cast<size_t>(col - names.columns.data()) + 1;
          Value(*row, col->index, name, childEmpty);
        } else if (!childEmpty) {
          SkipElement(name);
        }
      }
      EndTag(names.name);
    }
    if (!added) table.AddRow(row);
  }

  // The entry named name, searched from hint on and then from the start.
  static const Named* Find(const std::vector<Named>& list, std::string_view name, size_t hint) {
    for (size_t i = hint; i < list.size(); ++i)
      if (list[i].name == name) return &list[i];
    for (size_t i = 0; i < hint && i < list.size(); ++i)
      if (list[i].name == name) return &list[i];
    return nullptr;
  }

  // A value element whose start tag has been read: text only, then its end
  // tag.
  void Value(CDataRow& row, int column, std::string_view name, bool empty) {
    std::string_view text;
    if (!empty) {
      const char* start = p_;
      const char* lt = p_;
      while (lt != end_ && !Is(*lt, kTextMark)) ++lt;
      const bool plain = lt == end_ || *lt == '<';
      if (!plain) {
        while (lt != end_ && *lt != '<') ++lt;
      }
      if (end_ - lt < 2 || lt[1] != '/') GiveUp();
      text = std::string_view(start, static_cast<size_t>(lt - start));
      p_ = lt + 2;
      EndTag(name);
      if (!plain) text = Decode(text);
    }
    CDataValue v;
    if (!ParseLexical(row.Table().Column(column).type, text, v)) GiveUp();
    row.SetValue(column, std::move(v));
  }

  // Text with its line ends normalised (CR LF and CR to LF) and its
  // references replaced, as the XML reader does.
  std::string_view Decode(std::string_view text) {
    scratch_.clear();
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\r') {
        scratch_ += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      } else if (c == '&') {
        const size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || !AppendReference(text.substr(i + 1, semi - i - 1), scratch_)) GiveUp();
        i = semi;
      } else {
        scratch_ += c;
      }
    }
    return scratch_;
  }

  CDataSet& ds_;
  const char* p_ = nullptr;
  const char* end_ = nullptr;
  int fd_ = -1;         // the file while it has more to read
  uint64_t read_ = 0;   // bytes read from it
  std::string window_;  // the file's text around p_
  std::vector<TableNames> names_;
  std::vector<std::string_view> open_;
  std::string scratch_;
};

}  // namespace

namespace {

template <class Source>
bool Scan(CDataSet& ds, const Source& source) {
  const std::vector<int64_t> counters = ds.Counters();
  try {
    Scanner(ds, source).Document();
    return true;
  } catch (...) {
    ds.Clear();
    ds.RestoreCounters(counters);
    return false;
  }
}

}  // namespace

bool ScanXmlDocument(CDataSet& ds, std::string_view text) { return Scan(ds, text); }

bool ScanXmlFile(CDataSet& ds, const std::string& path) { return Scan(ds, path); }

}  // namespace lapforge
