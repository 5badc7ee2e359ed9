// The object record file shared by PTF track files and 3DO trackside object
// files: a tree of typed descriptor records (CN5Obj) read from and written to
// one file image. CN5Root owns every descriptor of its tree.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/ByteReader.h"
#include "support/ByteWriter.h"
#include "support/Result.h"

namespace lapforge {

class CN5Root;
class CN5ObjAp;

// A fault in a file image other than running past its end (a record that
// refers to one enclosing it, nesting too deep, a field that cannot hold):
// raises CFormatError "<source>: <what> at offset <n>".
[[noreturn]] void ThrowDamaged(const CByteReader& r, const char* what, size_t offset);
class CN5ObjTo;

// Base of every descriptor record.
class CN5Obj {
 public:
  virtual ~CN5Obj() = default;
  virtual void Serialize() {}
  virtual void WriteLongHdr();
  virtual size_t ReadLongHdr(CByteReader& r);
  virtual size_t ReadData(CByteReader& r);
  virtual void WriteData() {}
  virtual void ReWriteData() {}
  // Header value this descriptor writes (per format version).
  virtual int32_t WrittenHeaderValue() const { return headerValue; }
  // The format version a read record's header value implies (0: none).
  virtual int VersionFromHeader() const { return 0; }
  // Run-time class name, "class CN5ObjXx".
  virtual const char* GetRtName() const { return "class CN5Obj"; }
  bool IsRtName(const std::string& shortName) const;

  // Descriptor-side helpers forwarding to the root.
  size_t ReadChildrenList(CByteReader& r, std::vector<CN5Obj*>* list);
  size_t ReadChild(CByteReader& r, std::vector<CN5Obj*>* list);
  // Reads one child and returns it: null for a null record, and for a
  // record that was not recognised (nothing is appended then).
  CN5Obj* ReadOneChild(CByteReader& r);
  // A child array: uint32 4n then n records. With each (and a list), each
  // entry appended to list is passed to it as soon as it has been read.
  size_t ReadChildrenArray(CByteReader& r, std::vector<CN5Obj*>* list, void (*each)(CN5Obj*, void*) = nullptr,
                           void* context = nullptr);
  void WriteLong(uint32_t v);
  // The float writers put 0 in place of a value that is not finite (in a
  // single-precision field also one too large for it), as every writer of
  // the program does: no game reads such a value.
  void WriteDouble(double v);
  // A value stored in a single-precision field of the file.
  void WriteFloat(double v);
  // count single-precision values kept as their bytes (bump records).
  void WriteFloatBytes(const uint8_t* bytes, size_t count);
  void WriteString(const std::string& text);
  std::string ReadString(CByteReader& r);
  void WriteChildrenList(const std::vector<CN5Obj*>& list);
  void WriteChildrenArray(const std::vector<CN5Obj*>& list, bool withCount);
  void WriteValueArray(const std::vector<double>& values);
  std::vector<double> ReadValueArray(CByteReader& r);
  void WriteBytes(const void* data, size_t n);
  void WriteZeroes(size_t n);
  int FormatVersion() const;

  const uint8_t* readPos = nullptr;  // payload start in the file image; null when built in memory
  size_t fileOffset = 0;
  size_t dataOffset = 0;
  // The record's class name: the kind's own name, or for a read record whose
  // name only begins with it, the name as the file spells it (kept by the
  // root). Assign only text that outlives the descriptor.
  std::string_view className;
  uint32_t objectId = 0;
  uint32_t classId = 0;
  uint32_t writtenObjectId = 0;
  uint32_t writtenClassId = 0;
  std::vector<CN5Obj*> children;  // null entries allowed
  CN5Root* root = nullptr;
  CN5Obj* parent = nullptr;
  CN5Obj* lastChild = nullptr;
  int depth = 0;
  int32_t headerValue = -1;
  std::string objectName;
  bool complete = false;  // reading: the whole record has been read
};

// Descriptors read from a file live in their root's pool; descriptors built
// in memory are allocated one by one. The deleter knows which.
struct CN5ObjDeleter {
  bool pooled = false;
  void operator()(CN5Obj* o) const {
    if (pooled)
      o->~CN5Obj();
    else
      delete o;
  }
};
using CN5ObjPtr = std::unique_ptr<CN5Obj, CN5ObjDeleter>;

// The descriptor kind of a class name: its prefix, and how to make one (in
// the given storage, or on the heap when that is null).
struct CN5Kind {
  const char* prefix;
  CN5Obj* (*make)(void* where);
  size_t size;
  size_t align;
};

class CN5Root {
 public:
  // Nesting deeper than this is treated as a damaged file.
  static constexpr int kMaxDepth = 200;
  // Whether a record of an unknown kind is reported on the console (on by
  // default); the fuzz programs turn it off, as it would flood their logs.
  static void SetReportUnrecognized(bool on);

  CN5Root();
  virtual ~CN5Root();
  CN5Root(const CN5Root&) = delete;
  CN5Root& operator=(const CN5Root&) = delete;

  // Reads a file. Null when it cannot be opened or is damaged; result says
  // which (CannotRead, or Damaged naming the file and the fault).
  static std::unique_ptr<CN5Root> CreateFromFile(const std::string& path, Result& result);
  // The same into this root (the track and object models derive from it):
  // fails CannotRead when the file cannot be opened, Damaged when its bytes
  // are not a record file or a damaged one. Remembers the file's path and
  // folder.
  Result ReadFromFile(const std::string& path);
  // Parses a file image held in memory. A damaged image (a record, count or
  // string running past the end, a record referring to one that encloses it,
  // nesting too deep) makes the whole file unreadable: fails saying what and
  // where (the offset of the fault), and the tree is emptied. Nothing
  // outside the image is ever read.
  Result ReadFromBuffer(std::vector<uint8_t> bytes, const std::string& source);
  // Bytes taken by the root record of the last read (the file size for a
  // well-formed file), and the size of the image read.
  size_t BytesRead() const { return bytesRead; }
  size_t ImageSize() const { return image.size(); }
  // The class names of the records the last read did not recognise, each
  // once, in the order met (the list that held one ends there).
  const std::vector<std::string>& UnrecognizedKinds() const { return unrecognizedKinds; }

  size_t ReadNext(size_t offset, int depth, CN5Obj* parent, std::vector<CN5Obj*>* list);
  size_t ReadChildrenList(size_t position, int depth, CN5Obj* parent, std::vector<CN5Obj*>* list);
  size_t ReadChild(size_t position, int depth, CN5Obj* parent, std::vector<CN5Obj*>* list);

  // Writes the first parentless descriptor and everything reachable from it.
  Result WriteToFile(const std::string& path, bool flag = false);
  std::vector<uint8_t> WriteToBuffer();
  // When set, a write notes here the offset of every double it writes, so
  // that two files can be compared number by number (tools/ptf_compare).
  std::vector<size_t>* doubleOffsets = nullptr;
  void NoteDoubles(size_t count);
  void WriteNext(CN5Obj* obj);
  size_t WriteBytes(const void* data, size_t count);
  size_t WriteZeroes(size_t count);
  // Clears the written identifiers and the class map so a write starts at 1.
  void ResetWriteIds();

  // Attaches a descriptor allocated with new (takes ownership).
  CN5Obj* SetParent(CN5Obj* obj, CN5Obj* parent, std::vector<CN5Obj*>* list) {
    return Attach(obj, parent, list, false);
  }
  // Builds a descriptor in memory, in the root's pool like the ones read
  // from a file, so that a large tree is released block by block.
  template <typename T>
  T* Create(CN5Obj* parent, std::vector<CN5Obj*>* list = nullptr) {
    return static_cast<T*>(Attach(new (pool.Allocate(sizeof(T), alignof(T))) T(), parent, list, true));
  }
  // The descriptor for a class name (by prefix), or null; the caller owns it.
  CN5Obj* NewDescriptor(const std::string& className);
  // The kind a class name selects (by prefix), or null.
  static const CN5Kind* FindKind(std::string_view className);

  // Builders of descriptors in memory. An appearance under parent, set up for
  // the kind of parent, with a texture child named after the file-name part
  // of textureName when that is not empty.
  CN5ObjAp* CreateNewAppearance(CN5Obj* parent, const std::string& textureName, std::vector<CN5Obj*>* list = nullptr);
  // The object file record under a TSO reference, named after name.
  CN5ObjTo* CreateNewTso(CN5Obj* reference, const std::string& name);

  CN5Obj* Root() const;
  const std::vector<CN5ObjPtr>& All() const { return objects; }
  CByteWriter* Output() { return out; }

  // Sets formatVersion from the header values a read file carries.
  void DetectFormatVersion();

  int formatVersion = 5;
  std::string folder;
  std::string path;
  bool keepAllTsoReferences = false;  // rewrite a read track without dropping TSO references
  // Rewrite read walls with the tie value they were read with (a faithful
  // copy of the file) instead of marking them as tied to their source file.
  bool keepReadWallTies = false;
  bool hasWeekendValue = false;
  double weekendValue = 0;
  int defaultAppearanceMode = -1;

 protected:
  std::vector<uint8_t> image;
  std::unique_ptr<CByteReader> reader;
  struct CClassEntry {
    std::string name;
    const CN5Kind* kind = nullptr;
  };
  std::unordered_map<uint32_t, CClassEntry> classNames;  // classId -> name and kind (reading)
  // objectId -> descriptor (reading); null for an object whose record was
  // not recognised. Identifiers below a bound that follows from the file
  // size are kept in a table that grows with the largest one seen (null:
  // not defined); larger ones in a map.
  std::vector<CN5Obj*> idTable;
  size_t idTableBound = 0;
  std::unordered_map<uint32_t, CN5Obj*> objectsById;
  // True when id has been defined; obj is its descriptor (or null).
  bool FindId(uint32_t id, CN5Obj*& obj) const;
  void AddId(uint32_t id, CN5Obj* obj);
  struct CNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, uint32_t, CNameHash, std::equal_to<>> classIds;  // name -> classId (writing)
  uint32_t counter = 0;
  size_t bytesRead = 0;
  int readVersion = 5;
  std::vector<std::string> unrecognizedKinds;
  void NoteUnrecognized(std::string_view className);
  // Storage of the descriptors read from a file: blocks of bytes handed out
  // in order, released together. Declared before the list so that the
  // descriptors are destroyed first.
  struct CPool {
    struct CBlock {
      std::byte* data = nullptr;
      size_t size = 0;
    };
    std::vector<CBlock> blocks;
    size_t used = 0, capacity = 0;
    CPool() = default;
    CPool(const CPool&) = delete;
    CPool& operator=(const CPool&) = delete;
    ~CPool() { Release(); }
    void* Allocate(size_t size, size_t align);
    void Release();
  };
  CPool pool;
  std::vector<CN5ObjPtr> objects;
  CByteWriter* out = nullptr;

 private:
  CN5Obj* Attach(CN5Obj* obj, CN5Obj* parent, std::vector<CN5Obj*>* list, bool pooled);
};

}  // namespace lapforge
