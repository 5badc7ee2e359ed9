#include "ptf/RecordFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LF_N5_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(LF_N5_ASAN)
#define LF_N5_ASAN 1
#endif
#ifdef LF_N5_ASAN
#include <sanitizer/asan_interface.h>
#endif

#include "ptf/Descriptors.h"
#include "support/Errors.h"
#include "support/FileIO.h"
#include "support/TextFormat.h"

namespace lapforge {

void ThrowDamaged(const CByteReader& r, const char* what, size_t offset) {
  std::string source = r.Source().empty() ? std::string("data") : r.Source();
  throw CFormatError(StrFormat("%s: %s at offset %zu", source.c_str(), what, offset), offset);
}

// ---- CN5Obj ----

bool CN5Obj::IsRtName(const std::string& shortName) const {
  std::string_view rt = GetRtName();
  return rt.size() == 6 + shortName.size() && rt.starts_with("class ") && rt.substr(6) == shortName;
}

int CN5Obj::FormatVersion() const { return root ? root->formatVersion : 5; }

size_t CN5Obj::ReadLongHdr(CByteReader& r) {
  size_t start = r.Pos();
  r.U32("header tag");
  uint32_t len = r.U32("object name length");
  if (!r.Has(len)) r.Fail("object name", r.Pos(), len);
  objectName = r.FixedString(len, "object name");
  headerValue = r.I32("header value");
  return r.Pos() - start;
}

size_t CN5Obj::ReadData(CByteReader&) { return 0; }

void CN5Obj::WriteLongHdr() {
  headerValue = WrittenHeaderValue();
  WriteLong(1);
  WriteString(objectName);
  WriteLong(static_cast<uint32_t>(headerValue));
}

size_t CN5Obj::ReadChildrenList(CByteReader& r, std::vector<CN5Obj*>* list) {
  size_t n = root->ReadChildrenList(r.Pos(), depth, this, list);
  return n;
}
size_t CN5Obj::ReadChild(CByteReader& r, std::vector<CN5Obj*>* list) {
  return root->ReadChild(r.Pos(), depth, this, list);
}
CN5Obj* CN5Obj::ReadOneChild(CByteReader& r) {
  size_t before = children.size();
  root->ReadChild(r.Pos(), depth, this, nullptr);
  return children.size() > before ? children.back() : nullptr;
}
size_t CN5Obj::ReadChildrenArray(CByteReader& r, std::vector<CN5Obj*>* list, void (*each)(CN5Obj*, void*),
                                 void* context) {
  size_t start = r.Pos();
  uint32_t bytes = r.U32("child array size");
  uint32_t n = bytes / 4;
  // Every record takes at least 4 bytes.
  if (uint64_t(n) * 4 > r.Remaining()) r.Fail("child array", r.Pos(), size_t(n) * 4);
  children.reserve(children.size() + n);
  if (list) list->reserve(list->size() + n);
  if (!list) each = nullptr;
  for (uint32_t i = 0; i < n; ++i) {
    size_t before = each ? list->size() : 0;
    size_t taken = root->ReadNext(r.Pos(), depth + 1, this, list);
    if (each)
      for (size_t k = before; k < list->size(); ++k) each((*list)[k], context);
    if (taken == 0) break;
  }
  return r.Pos() - start;
}
void CN5Obj::WriteLong(uint32_t v) { WriteBytes(&v, 4); }
void CN5Obj::WriteDouble(double v) {
  if (!std::isfinite(v)) v = 0.0;
  if (root) root->NoteDoubles(1);
  WriteBytes(&v, 8);
}
void CN5Obj::WriteFloat(double v) {
  float f = static_cast<float>(v);
  if (!std::isfinite(f)) f = 0.0f;
  WriteBytes(&f, 4);
}
void CN5Obj::WriteFloatBytes(const uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    float f;
    std::memcpy(&f, bytes + 4 * i, 4);
    WriteFloat(f);
  }
}
void CN5Obj::WriteString(const std::string& text) {
  if (text.empty()) {
    WriteLong(0);
    return;
  }
  WriteLong(static_cast<uint32_t>(text.size() + 1));
  WriteBytes(text.c_str(), text.size() + 1);
}
std::string CN5Obj::ReadString(CByteReader& r) {
  uint32_t len = r.U32("string length");
  if (!r.Has(len)) r.Fail("string", r.Pos(), len);
  return r.FixedString(len, "string");
}
void CN5Obj::WriteChildrenList(const std::vector<CN5Obj*>& list) {
  WriteLong(static_cast<uint32_t>(list.size()));
  WriteChildrenArray(list, true);
}
void CN5Obj::WriteChildrenArray(const std::vector<CN5Obj*>& list, bool withCount) {
  if (withCount && !list.empty()) WriteLong(static_cast<uint32_t>(4 * list.size()));
  for (CN5Obj* c : list) root->WriteNext(c);
}
void CN5Obj::WriteValueArray(const std::vector<double>& values) {
  WriteLong(static_cast<uint32_t>(8 * values.size()));
  if (root) root->NoteDoubles(values.size());
  // Copied only when a value has to be written as 0.
  if (std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); })) {
    if (!values.empty()) WriteBytes(values.data(), 8 * values.size());
    return;
  }
  std::vector<double> finite = values;
  for (double& v : finite)
    if (!std::isfinite(v)) v = 0.0;
  WriteBytes(finite.data(), 8 * finite.size());
}
std::vector<double> CN5Obj::ReadValueArray(CByteReader& r) {
  uint32_t bytes = r.U32("value array size");
  // Checked before allocating: a huge count in a damaged file fails here.
  if (!r.Has(bytes)) r.Fail("value array", r.Pos(), bytes);
  std::vector<double> v(bytes / 8);
  if (!v.empty()) r.Bytes(v.data(), v.size() * 8, "value array");
  r.Skip(bytes % 8, "value array");
  return v;
}
void CN5Obj::WriteBytes(const void* data, size_t n) {
  if (root) root->WriteBytes(data, n);
}
void CN5Obj::WriteZeroes(size_t n) {
  if (root) root->WriteZeroes(n);
}

// ---- CN5Root ----

namespace {
// Printed on the console, not shown as a message: the enclosing list ends
// there and reading goes on.
bool gReportUnrecognized = true;
void ReportUnrecognized() {
  if (gReportUnrecognized) std::fputs("Unrecognized record\n", stderr);
}
}  // namespace

void CN5Root::SetReportUnrecognized(bool on) { gReportUnrecognized = on; }

CN5Root::CN5Root() = default;
CN5Root::~CN5Root() = default;

CN5Obj* CN5Root::Root() const {
  for (auto& o : objects)
    if (!o->parent) return o.get();
  return nullptr;
}

std::unique_ptr<CN5Root> CN5Root::CreateFromFile(const std::string& filePath, Result& result) {
  auto root = std::make_unique<CN5Root>();
  result = root->ReadFromFile(filePath);
  if (!result) return nullptr;
  return root;
}

Result CN5Root::ReadFromFile(const std::string& filePath) {
  std::vector<uint8_t> bytes;
  if (Result read = ReadWholeFile(filePath, bytes); !read) return read;
  if (Result parsed = ReadFromBuffer(std::move(bytes), filePath); !parsed) return parsed;
  size_t cut = filePath.find_last_of("/\\");
  folder = cut == std::string::npos ? std::string() : filePath.substr(0, cut + 1);
  path = filePath;
  return Result::Ok();
}

namespace {
// A record file begins with its root record, which defines its class: a
// non-zero object id, a class id, the length of the class name (with its
// NUL) and the name, printable characters ending in NUL. Bytes present that
// break this (an XML document, a TRK file) mean another kind of file, told
// as such rather than as a record running past its end; bytes missing are
// left to the reader, which reports a file cut short.
bool BeginsLikeRecordFile(const std::vector<uint8_t>& image) {
  constexpr size_t kNameAt = 12;
  constexpr uint32_t kLongestName = 256;
  if (image.size() < 4) return true;
  uint32_t id, length;
  std::memcpy(&id, image.data(), 4);
  if (id == 0) return image.size() == 4;  // a lone null root: a file holding no record
  if (image.size() < kNameAt) return true;
  std::memcpy(&length, image.data() + 8, 4);
  if (length < 2 || length > kLongestName) return false;
  const size_t end = std::min(image.size(), kNameAt + length);
  for (size_t i = kNameAt; i < end; ++i) {
    const uint8_t c = image[i];
    const bool last = i == kNameAt + length - 1;
    if (last ? c != 0 : (c < 0x21 || c > 0x7e)) return false;
  }
  return true;
}
}  // namespace

Result CN5Root::ReadFromBuffer(std::vector<uint8_t> bytes, const std::string& source) {
  objects.clear();
  pool.Release();
  classNames.clear();
  objectsById.clear();
  hasWeekendValue = false;
  unrecognizedKinds.clear();
  bytesRead = 0;
  readVersion = 5;
  image = std::move(bytes);
  objects.reserve(image.size() / 32);
  // A defined record takes at least 12 bytes, so the identifiers of a file
  // whose writer handed them out in order stay below this bound.
  idTable.clear();
  idTableBound = image.size() / 8 + 64;
  reader = std::make_unique<CByteReader>(image.data(), image.size(), source);
  if (!BeginsLikeRecordFile(image)) {
    // Told apart in the words only: to the user it is a damaged file.
    return Result::Fail(Status::Damaged,
                        (source.empty() ? std::string("data") : source) +
                            ": not a record file (it does not begin with a record that names its class)",
                        source);
  }
  try {
    bytesRead = ReadNext(0, 0, nullptr, nullptr);
  } catch (const CFormatError& e) {
    objects.clear();
    pool.Release();
    objectsById.clear();
    idTable.clear();
    return Result::Fail(Status::Damaged, e.what(), source, e.Offset());
  }
  idTable.clear();
  idTable.shrink_to_fit();
  objectsById.clear();
  // The version the read records' header values imply (see ReadNext), so
  // that a read file is written back in its own version.
  formatVersion = readVersion;
  return Result::Ok();
}

size_t CN5Root::ReadNext(size_t offset, int depth, CN5Obj* parent, std::vector<CN5Obj*>* list) {
  CByteReader& r = *reader;
  r.Seek(offset, "record");
  if (depth > kMaxDepth) ThrowDamaged(r, "record nested too deeply", offset);
  uint32_t id = r.U32("object id");
  if (id == 0) {
    if (parent) parent->children.push_back(nullptr);
    if (list) list->push_back(nullptr);
    return 4;
  }
  if (CN5Obj* obj = nullptr; FindId(id, obj)) {
    if (!obj) {
      // Defined by a record that was not recognised: nothing to refer to.
      if (parent) parent->children.push_back(nullptr);
      if (list) list->push_back(nullptr);
      return 4;
    }
    // A reference to a record still being read would make the tree a cycle.
    if (!obj->complete) ThrowDamaged(r, "record that refers to a record enclosing it", offset);
    if (parent) {
      parent->children.push_back(obj);
      parent->lastChild = obj;
    }
    if (list) list->push_back(obj);
    return 4;
  }
  uint32_t cls = r.U32("class id");
  auto cn = classNames.find(cls);
  if (cn == classNames.end()) {
    uint32_t len = r.U32("class name length");
    if (!r.Has(len)) r.Fail("class name", r.Pos(), len);
    std::string name = r.FixedString(len, "class name");
    const CN5Kind* kind = FindKind(name);
    cn = classNames.emplace(cls, CClassEntry{std::move(name), kind}).first;
  }
  const CN5Kind* kind = cn->second.kind;
  CN5Obj* obj = kind ? kind->make(pool.Allocate(kind->size, kind->align)) : nullptr;
  if (!obj) {
    AddId(id, nullptr);
    NoteUnrecognized(cn->second.name);
    ReportUnrecognized();
    r.Seek(offset);
    return 0;
  }
  objects.emplace_back(obj, CN5ObjDeleter{true});
  AddId(id, obj);
  // Normally the file spells the kind's own name; a longer name is kept in
  // the class table, which lives as long as the descriptors.
  if (obj->className != cn->second.name) obj->className = cn->second.name;
  obj->fileOffset = offset;
  obj->objectId = id;
  obj->classId = cls;
  obj->root = this;
  obj->parent = parent;
  obj->depth = parent ? parent->depth + 1 : depth;
  if (parent) {
    parent->children.push_back(obj);
    parent->lastChild = obj;
  }
  if (list) list->push_back(obj);
  size_t h = obj->ReadLongHdr(r);
  obj->dataOffset = r.Pos();
  obj->readPos = image.data() + r.Pos();
  readVersion = std::max(readVersion, obj->VersionFromHeader());
  size_t d = obj->ReadData(r);
  obj->complete = true;
  if (h + d == 0) {
    NoteUnrecognized(obj->className);
    ReportUnrecognized();
    r.Seek(offset);
    return 0;
  }
  return r.Pos() - offset;
}

void CN5Root::NoteUnrecognized(std::string_view className) {
  if (std::find(unrecognizedKinds.begin(), unrecognizedKinds.end(), className) == unrecognizedKinds.end())
    unrecognizedKinds.emplace_back(className);
}

namespace {
// Stands in the identifier table for an object whose record was not recognised.
CN5Obj gUnrecognized;
}  // namespace

bool CN5Root::FindId(uint32_t id, CN5Obj*& obj) const {
  if (id < idTableBound) {
    CN5Obj* o = id < idTable.size() ? idTable[id] : nullptr;
    obj = o == &gUnrecognized ? nullptr : o;
    return o != nullptr;
  }
  auto it = objectsById.find(id);
  if (it == objectsById.end()) return false;
  obj = it->second;
  return true;
}

void CN5Root::AddId(uint32_t id, CN5Obj* obj) {
  if (id >= idTableBound) {
    objectsById.emplace(id, obj);
    return;
  }
  if (id >= idTable.size()) idTable.resize(std::min(idTableBound, std::max<size_t>(id + 1, 2 * idTable.size())));
  idTable[id] = obj ? obj : &gUnrecognized;
}

namespace {
// Pool blocks grow to this size; blocks of it are handed from one root to
// the next. A tree larger than the C library keeps for reuse (a few tens of
// MB) would otherwise give its memory back to the system when released and
// take every page of it anew, one page fault per 4 KiB, on the next read:
// the page faults then cost more than parsing.
constexpr size_t kBlockSize = size_t(1) << 22;
// Released blocks kept for the next tree, at most.
constexpr size_t kKeptBlocks = 64;

class CBlockCache {
 public:
  std::byte* Take() {
    std::lock_guard<std::mutex> lock(mutex);
    if (blocks.empty()) return nullptr;
    std::byte* b = blocks.back();
    blocks.pop_back();
#ifdef LF_N5_ASAN
    ASAN_UNPOISON_MEMORY_REGION(b, kBlockSize);
#endif
    return b;
  }
  // False when the cache is full (the caller frees the block).
  bool Give(std::byte* b) {
    std::lock_guard<std::mutex> lock(mutex);
    if (blocks.size() >= kKeptBlocks) return false;
    if (blocks.capacity() == 0) blocks.reserve(kKeptBlocks);
    blocks.push_back(b);
#ifdef LF_N5_ASAN
    // A descriptor of a released tree used by mistake is still reported.
    ASAN_POISON_MEMORY_REGION(b, kBlockSize);
#endif
    return true;
  }

 private:
  std::mutex mutex;
  std::vector<std::byte*> blocks;
};

// Never destroyed: roots released during program exit still give their
// blocks back to it.
CBlockCache& BlockCache() {
  static CBlockCache* cache = new CBlockCache;
  return *cache;
}
}  // namespace

void* CN5Root::CPool::Allocate(size_t size, size_t align) {
  size_t at = (used + align - 1) / align * align;
  if (blocks.empty() || at + size > capacity) {
    // Blocks grow with the tree, so a large file takes few of them.
    capacity = std::max<size_t>(size, std::min<size_t>(kBlockSize, std::max<size_t>(capacity * 2, 1 << 16)));
    std::byte* b = capacity == kBlockSize ? BlockCache().Take() : nullptr;
    if (!b) b = new std::byte[capacity];
    blocks.push_back({b, capacity});
    at = 0;
  }
  used = at + size;
  return blocks.back().data + at;
}

void CN5Root::CPool::Release() {
  for (CBlock& b : blocks)
    if (b.size != kBlockSize || !BlockCache().Give(b.data)) delete[] b.data;
  blocks.clear();
  used = capacity = 0;
}

size_t CN5Root::ReadChildrenList(size_t position, int depth, CN5Obj* parent, std::vector<CN5Obj*>* list) {
  CByteReader& r = *reader;
  r.Seek(position, "child list");
  uint32_t n = r.U32("child count");
  if (n > 0) {
    r.U32("child list size");
    if (uint64_t(n) * 4 > r.Remaining()) r.Fail("child list", r.Pos(), size_t(n) * 4);
    if (parent) parent->children.reserve(parent->children.size() + n);
    if (list) list->reserve(list->size() + n);
    for (uint32_t i = 0; i < n; ++i)
      if (ReadNext(r.Pos(), depth + 1, parent, list) == 0) break;
  }
  return r.Pos() - position;
}

size_t CN5Root::ReadChild(size_t position, int depth, CN5Obj* parent, std::vector<CN5Obj*>* list) {
  return ReadNext(position, depth + 1, parent, list);
}

void CN5Root::ResetWriteIds() {
  for (auto& o : objects) o->writtenObjectId = o->writtenClassId = 0;
  classIds.clear();
  counter = 0;
}

std::vector<uint8_t> CN5Root::WriteToBuffer() {
  CByteWriter w;
  w.Reserve(image.size() + 1024);
  out = &w;
  WriteNext(Root());
  out = nullptr;
  return w.Take();
}

Result CN5Root::WriteToFile(const std::string& filePath, bool) {
  std::vector<uint8_t> bytes = WriteToBuffer();
  return ReplaceFile(filePath, bytes);
}

void CN5Root::WriteNext(CN5Obj* obj) {
  if (!out) return;
  if (!obj) {
    out->U32(0);
    return;
  }
  if (obj->writtenObjectId) {
    out->U32(obj->writtenObjectId);
    return;
  }
  obj->root = this;
  obj->writtenObjectId = ++counter;
  auto it = classIds.find(obj->className);
  bool fresh = it == classIds.end();
  if (fresh) it = classIds.emplace(std::string(obj->className), ++counter).first;
  obj->writtenClassId = it->second;
  out->U32(obj->writtenObjectId);
  out->U32(obj->writtenClassId);
  if (fresh) {
    out->U32(static_cast<uint32_t>(obj->className.size() + 1));
    out->Bytes(obj->className.data(), obj->className.size());
    out->U8(0);
  }
  obj->WriteLongHdr();
  obj->ReWriteData();
}

void CN5Root::NoteDoubles(size_t count) {
  if (!doubleOffsets || !out) return;
  for (size_t i = 0; i < count; ++i) doubleOffsets->push_back(out->Size() + 8 * i);
}
size_t CN5Root::WriteBytes(const void* data, size_t count) {
  if (!out) return 0;
  out->Bytes(data, count);
  return count;
}
size_t CN5Root::WriteZeroes(size_t count) {
  if (!out) return 0;
  out->Zeroes(count);
  return count;
}

CN5Obj* CN5Root::Attach(CN5Obj* obj, CN5Obj* parent, std::vector<CN5Obj*>* list, bool pooled) {
  obj->root = this;
  obj->parent = parent;
  obj->complete = true;
  if (parent) {
    obj->depth = parent->depth + 1;
    parent->children.push_back(obj);
    parent->lastChild = obj;
  }
  if (list) list->push_back(obj);
  objects.emplace_back(obj, CN5ObjDeleter{pooled});
  return obj;
}

}  // namespace lapforge
