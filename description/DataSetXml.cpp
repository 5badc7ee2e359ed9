// The dataset's XML document: one element per row named after its table,
// one child element per non-hidden, non-null column, child rows nested in
// their parent rows relation by relation, every element in the dataset's
// namespace, values in XML Schema lexical forms.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <pugixml.hpp>

#include "description/DataSet.h"
#include "description/DataSetXmlScan.h"
#include "support/FileIO.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

void AppendEscaped(std::string& out, const std::string& text) {
  for (char ch : text) {
    if (const char* entity = XmlMarkupEntity(ch))
      out += entity;
    else if (ch == '\r')
      out += "&#xD;";
    else
      out += ch;
  }
}

// XML 1.0 holds no character below 0x20 other than tab, line feed and
// carriage return, not even as a character reference: a text with one
// cannot be written, and the column is named.
void CheckXmlChars(const std::string& text, const char* table, const char* column) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
      throw CDataFormatException(
          StrFormat("The text in column '%s' of table '%s' holds the control character 0x%02X "
                    "at position %zu, which an XML file cannot hold.",
                    column, table, c, i + 1));
  }
}

// Writes the document into out; when a sink is given, out is handed to it
// and emptied whenever it has grown past a block, so that a big document is
// never held whole.
struct Writer {
  using Sink = std::function<void(std::string_view)>;
  static constexpr size_t kBlock = size_t(1) << 16;

  // The tags of a column: "<Name>" and "</Name>\n", and the open tag with
  // the indentation of the rows last written.
  struct Tags {
    std::string open, close, line;
  };
  struct TableTags {
    std::string open, close;                 // "<Table>\n", "</Table>\n"
    std::vector<Tags> columns;               // per column
    std::vector<int> childRels, parentRels;  // relations where it is the parent, the child
    int depth = -1;                          // the depth the lines are indented for
  };
  const CDataSet& ds;
  Sink sink;
  std::vector<TableTags> tables;
  std::string out;

  Writer(const CDataSet& d, Sink s) : ds(d), sink(std::move(s)) {
    for (int t = 0; t < ds.TableCount(); ++t) {
      const CDataTable& table = ds.Table(t);
      TableTags tags;
      const std::string name = EncodeXmlName(table.Name());
      tags.open = "<" + name + ">\n";
      tags.close = "</" + name + ">\n";
      for (int c = 0; c < table.ColumnCount(); ++c) {
        const std::string cn = EncodeXmlName(table.Column(c).name);
        tags.columns.push_back({"<" + cn + ">", "</" + cn + ">\n", ""});
      }
      for (int rel = 0; rel < ds.RelationCount(); ++rel) {
        if (ds.Relation(rel).parentTable == t) tags.childRels.push_back(rel);
        if (ds.Relation(rel).childTable == t) tags.parentRels.push_back(rel);
      }
      tables.push_back(std::move(tags));
    }
    if (sink) out.reserve(kBlock + 4096);
  }

  void Indent(int depth) { out.append(static_cast<size_t>(depth) * 2, ' '); }

  void Flush(bool last) {
    if (sink && (last || out.size() >= kBlock)) {
      sink(out);
      out.clear();
    }
  }

  void Row(const CDataRow& row, int depth) {
    const CDataTable& table = row.Table();
    TableTags& tags = tables[static_cast<size_t>(table.Index())];
    // The rows of a table mostly stand at one depth.
    if (tags.depth != depth) {
      tags.depth = depth;
      for (Tags& t : tags.columns) t.line = std::string(static_cast<size_t>(depth + 1) * 2, ' ') + t.open;
    }
    Indent(depth);
    out += tags.open;
    for (int c = 0; c < table.ColumnCount(); ++c) {
      const ColumnSchema& col = table.Column(c);
      if ((col.flags & kColHidden) || row.IsNull(c)) continue;
      const Tags& cn = tags.columns[static_cast<size_t>(c)];
      out += cn.line;
      if (col.type == ColType::Text) {
        const std::string& text = row.Value(c).s.str();
        CheckXmlChars(text, table.Name(), col.name);
        AppendEscaped(out, text);
      } else {
        AppendLexical(col.type, row.Value(c), out);
      }
      out += cn.close;
    }
    for (int rel : tags.childRels) {
      for (const CDataRow* child : row.ChildRows(rel)) Row(*child, depth + 1);
    }
    Indent(depth);
    out += tags.close;
    Flush(false);
  }

  void Document() {
    out += "<?xml version=\"1.0\" standalone=\"yes\"?>\n";
    std::string root = EncodeXmlName(ds.Schema().name);
    out += '<' + root + " xmlns=\"" + ds.Schema().nameSpace + "\">\n";
    for (int t = 0; t < ds.TableCount(); ++t) {
      const CDataTable& table = ds.Table(t);
      // Rows of a child table are written inside their parents; those with
      // no parent stand at the top level, in table order.
      const std::vector<int>& rels = tables[static_cast<size_t>(t)].parentRels;
      for (int i = 0; i < table.Count(); ++i) {
        const CDataRow& row = table.Row(i);
        bool nested = false;
        for (int rel : rels) nested = nested || row.ParentRow(rel) != nullptr;
        if (!nested) Row(row, 1);
      }
    }
    out += "</" + root + ">\n";
    Flush(true);
  }
};

// Namespace bindings in scope while walking the document.
struct Scope {
  const Scope* outer;
  pugi::xml_node node;
};

const char* LookupNamespace(const Scope* s, std::string_view prefix) {
  std::string attr = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
  for (; s; s = s->outer) {
    if (pugi::xml_attribute a = s->node.attribute(attr.c_str())) return a.value();
  }
  return prefix == "xml" ? "http://www.w3.org/XML/1998/namespace" : "";
}

// A text quoted for a message, cut short when long.
std::string Quoted(const std::string& text) {
  constexpr size_t kShown = 40;
  return "\"" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "\"";
}

struct Reader {
  CDataSet& ds;
  std::string_view ns;
  std::vector<std::vector<std::string>> columnNames;  // per table, as written in XML

  explicit Reader(CDataSet& d) : ds(d), ns(d.Schema().nameSpace) {
    for (int t = 0; t < ds.TableCount(); ++t) {
      std::vector<std::string> cols;
      for (int c = 0; c < ds.Table(t).ColumnCount(); ++c) cols.push_back(EncodeXmlName(ds.Table(t).Column(c).name));
      columnNames.push_back(std::move(cols));
    }
  }

  // The local name of an element in the dataset namespace, or empty.
  std::string_view LocalName(pugi::xml_node n, const Scope& scope) const {
    std::string_view full = n.name();
    size_t colon = full.find(':');
    std::string_view prefix = colon == std::string_view::npos ? std::string_view() : full.substr(0, colon);
    std::string_view local = colon == std::string_view::npos ? full : full.substr(colon + 1);
    if (LookupNamespace(&scope, prefix) != ns) return {};
    return local;
  }

  static std::string Text(pugi::xml_node n) {
    std::string s;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
      if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) s += c.value();
    }
    return s;
  }

  // The row being read and the rows enclosing it, named only when a value
  // is refused ("Traction row 2 of Section row 5"): a row's number is its
  // position among its parent's rows of its table, or in its table.
  struct Where {
    const CDataTable& table;
    const CDataRow* parent;
    int rel;
    const CDataRow* row;  // null until the row has been added
    const Where* outer;
  };
  static std::string Describe(const Where& w) {
    size_t position = 0;
    if (!w.row) {
      position = w.parent ? w.parent->ChildRows(w.rel).size() : static_cast<size_t>(w.table.Count());
    } else if (w.parent) {
      const std::vector<CDataRow*>& rows = w.parent->ChildRows(w.rel);
      position = static_cast<size_t>(std::find(rows.begin(), rows.end(), w.row) - rows.begin());
    } else {
      while (position < static_cast<size_t>(w.table.Count()) && &w.table.Row(static_cast<int>(position)) != w.row)
        ++position;
    }
    std::string text = StrFormat("%s row %zu", w.table.Name(), position);
    return w.outer ? text + " of " + Describe(*w.outer) : text;
  }

  // The relation through which an element named local holds child rows of
  // table, or -1 when it is no child table of it.
  int ChildRelation(const CDataTable& table, std::string_view local) const {
    for (int r = 0; r < ds.RelationCount(); ++r) {
      const RelationSchema& rs = ds.Relation(r);
      if (rs.parentTable == table.Index() && local == ds.Table(rs.childTable).Name()) return r;
    }
    return -1;
  }

  // Sets the column of row named local (an element c of the row of table)
  // from the element's text; an element that names no visible column is
  // left out.
  void Value(pugi::xml_node c, std::string_view local, CDataTable& table, CDataRow* row, const Where& here) {
    const auto& names = columnNames[static_cast<size_t>(table.Index())];
    for (int col = 0; col < table.ColumnCount(); ++col) {
      if (local != names[static_cast<size_t>(col)] || (table.Column(col).flags & kColHidden)) continue;
      CDataValue v;
      std::string text = Text(c);
      // The element, its row and the value, so that the user can find it.
      auto mistyped = [&] {
        return CDataFormatException(StrFormat("Element %s of %s holds %s, which is not a %s value",
                                              names[static_cast<size_t>(col)].c_str(), Describe(here).c_str(),
                                              Quoted(text).c_str(), ColTypeName(table.Column(col).type)));
      };
      if (!ParseLexical(table.Column(col).type, text, v)) throw mistyped();
      try {
        row->SetValue(col, v);
      } catch (const CDataFormatException&) {
        throw mistyped();
      }
      break;
    }
  }

  // Reads one row element of table t, child of parentRow through rel (or
  // none), inside the rows of outer: its values, then its child rows.
  void Row(pugi::xml_node el, const Scope& outer, CDataTable& table, CDataRow* parent, int rel, const Where* outerRow) {
    Scope scope{&outer, el};
    Where here{table, parent, rel, nullptr, outerRow};
    CDataRow* row = table.NewRow();
    try {
      if (parent) row->SetParentRow(rel, parent);
      std::vector<std::pair<pugi::xml_node, int>> childRows;
      for (pugi::xml_node c = el.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        Scope cs{&scope, c};
        std::string_view local = LocalName(c, cs);
        if (local.empty()) continue;
        if (const int r = ChildRelation(table, local); r >= 0)
          childRows.push_back({c, r});
        else
          Value(c, local, table, row, here);
      }
      try {
        table.AddRow(row);
      } catch (const CDataFormatException&) {
        throw;
      } catch (const CDataException& e) {
        throw CDataException(std::string(e.what()) + " (" + Describe(here) + ")");
      }
      row = nullptr;
      CDataRow* added = &table.Row(table.Count() - 1);
      here.row = added;
      for (const auto& [c, r] : childRows) Row(c, scope, ds.Table(ds.Relation(r).childTable), added, r, &here);
    } catch (...) {
      if (row) table.DiscardRow(row);
      throw;
    }
  }

  void Document(const pugi::xml_document& doc, const std::string& source) {
    pugi::xml_node root = doc.document_element();
    if (!root) return;
    Scope rootScope{nullptr, root};
    // Another document is refused rather than read as an empty description,
    // which a write back would turn into an empty file.
    const std::string full = root.name();
    const size_t colon = full.find(':');
    const std::string rootName = colon == std::string::npos ? full : full.substr(colon + 1);
    const std::string uri = LookupNamespace(
        &rootScope, colon == std::string::npos ? std::string_view() : std::string_view(full).substr(0, colon));
    if (rootName != ds.Schema().name || uri != ns) {
      const std::string found = uri.empty() ? std::string("no namespace") : "the namespace \"" + uri + "\"";
      throw CDataException(
          StrFormat("%s is not a track description: its document element is <%s> in %s; a description's is <%s> in the "
                    "namespace \"%s\".",
                    source.c_str(), full.c_str(), found.c_str(), ds.Schema().name, ds.Schema().nameSpace));
    }
    for (pugi::xml_node el = root.first_child(); el; el = el.next_sibling()) {
      if (el.type() != pugi::node_element) continue;
      Scope s{&rootScope, el};
      std::string_view local = LocalName(el, s);
      if (local.empty()) continue;
      if (CDataTable* t = ds.FindTable(local)) Row(el, rootScope, *t, nullptr, -1, nullptr);
    }
  }
};

// Parses the document and adds its rows. A document that is not well
// formed fails (Damaged, at the parser's offset) with nothing added; a row
// that does not fit raises the dataset's exceptions, the dataset emptied.
Result Load(CDataSet& ds, std::string& text, const std::string& source) {
  pugi::xml_document doc;
  pugi::xml_parse_result r =
      doc.load_buffer_inplace(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
  if (!r) {
    return Result::Fail(Status::Damaged,
                        StrFormat("%s: the XML is not well formed: %s at offset %lld.", source.c_str(), r.description(),
                                  static_cast<long long>(r.offset)),
                        source, static_cast<uint64_t>(r.offset));
  }
  try {
    Reader(ds).Document(doc, source);
  } catch (...) {
    ds.Clear();
    throw;
  }
  return Result::Ok();
}

}  // namespace

// A blank dataset takes the plain documents in one pass, without a tree
// (DataSetXmlScan.cpp); anything else, and every fault, goes through the
// tree.
Result CDataSet::ReadXml(const std::string& file) {
  if (IsBlank() && ScanXmlFile(*this, file)) return Result::Ok();
  std::string text;
  if (Result read = ReadWholeFile(file, text); !read) return read;
  try {
    return Load(*this, text, file);
  } catch (const CDataFormatException& e) {
    return Result::Fail(Status::Invalid, e.what(), file);
  } catch (const CDataException& e) {
    return Result::Fail(Status::Damaged, e.what(), file);
  }
}

void CDataSet::ReadXmlText(std::string text) {
  if (IsBlank() && ScanXmlDocument(*this, text)) return;
  if (Result loaded = Load(*this, text, "XML"); !loaded) throw CDataException(loaded.Text());
}

std::string CDataSet::GetXml() const {
  Writer w(*this, nullptr);
  w.Document();
  return std::move(w.out);
}

Result CDataSet::WriteXml(const std::string& file) const {
  // The file is opened with the first block. A text XML cannot hold fails
  // the write as Invalid even when the file could not be written, as when
  // the document was made whole before writing: after a failed write the
  // rest of the document is still made, and only checked.
  CReplacingFile out;
  Result written = Result::Ok();
  bool opened = false;
  Writer w(*this, [&](std::string_view bytes) {
    if (!written) return;
    if (!opened) {
      opened = true;
      written = out.Open(file);
      if (!written) return;
    }
    out.Append(bytes);  // a failure is kept and given by Commit
  });
  try {
    w.Document();
  } catch (const CDataException& e) {
    return Result::Fail(Status::Invalid, e.what(), file);
  }
  if (!written) return written;
  if (!opened) {
    if (written = out.Open(file); !written) return written;
  }
  return out.Commit();
}

}  // namespace lapforge
