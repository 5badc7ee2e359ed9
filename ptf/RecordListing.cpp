#include "ptf/RecordListing.h"

#include <algorithm>
#include <unordered_set>

#include "ptf/Descriptors.h"
#include "support/FileIO.h"
#include "support/OutputCheck.h"
#include "support/TextFormat.h"

namespace lapforge {

namespace {

std::string KeyValues(const CN5Obj* o) {
  if (auto* s = dynamic_cast<const CN5ObjSg*>(o))
    return StrFormat(" index=%d type=%d start=(%.6g,%.6g) end=(%.6g,%.6g) endAngle=%.6g", s->index, s->segType,
                     s->startX, s->startY, s->endX, s->endY, s->endAngle);
  if (auto* f = dynamic_cast<const CN5ObjFs*>(o))
    return StrFormat(" lat=%.6g..%.6g grip=%d kind=%d texture=\"%s\"", f->latStart, f->latEnd, f->grip, f->bandKind,
                     f->textureName.c_str());
  if (auto* w = dynamic_cast<const CN5ObjWs*>(o))
    return StrFormat(" lat=%.6g..%.6g height=%.6g..%.6g wallType=%d", w->latStart, w->latEnd, w->heightStart,
                     w->heightEnd, w->wallType);
  if (auto* x = dynamic_cast<const CN5ObjXs*>(o))
    return StrFormat(" lat=%.6g..%.6g height=%.6g..%.6g", x->latStart, x->latEnd, x->heightStart, x->heightEnd);
  if (auto* t = dynamic_cast<const CN5ObjTk*>(o))
    return StrFormat(" segments=%d details=%zu tsoRefs=%zu", t->segmentCount, t->details.size(), t->tsoRefs.size());
  if (auto* t = dynamic_cast<const CN5ObjTx*>(o)) return " texture=\"" + t->textureName + "\"";
  if (auto* t = dynamic_cast<const CN5ObjTo*>(o)) return " file=\"" + t->fileName + "\"";
  if (auto* s = dynamic_cast<const CN5ObjSw*>(o)) {
    std::string v;
    for (double x : s->values) v += StrFormat("%s%.6g", v.empty() ? "" : ",", x);
    return " switch=\"" + s->switchName + "\" values=(" + v + ")";
  }
  if (auto* l = dynamic_cast<const CN5ObjLw*>(o)) {
    std::string v;
    for (double x : l->values) v += StrFormat("%s%.6g", v.empty() ? "" : ",", x);
    return " distances=(" + v + ")";
  }
  if (auto* s = dynamic_cast<const CN5ObjSh*>(o)) return " shape=\"" + s->shapeName + "\"";
  if (auto* v = dynamic_cast<const CN5ObjVl*>(o)) return StrFormat(" vertices=%zu", v->positions.size());
  if (auto* g = dynamic_cast<const CN5ObjGm*>(o)) return StrFormat(" triangles=%zu", g->triangles.size() / 3);
  if (auto* l = dynamic_cast<const CN5ObjTl*>(o)) return StrFormat(" indices=%zu", l->indices.size());
  if (auto* l = dynamic_cast<const CN5ObjTs*>(o))
    return StrFormat(" indices=%zu triangles=%zu", l->indices.size(), l->triangles.size() / 3);
  if (auto* u = dynamic_cast<const CN5ObjTu*>(o)) return StrFormat(" pairs=%zu", std::min(u->u1.size(), u->v1.size()));
  if (auto* a = dynamic_cast<const CN5ObjAp*>(o))
    return StrFormat(" mode=%d colour=(%.6g,%.6g,%.6g)", a->mode, a->lighting[0], a->lighting[1], a->lighting[2]);
  if (auto* ro = dynamic_cast<const CN5ObjRo*>(o))
    return StrFormat(" at=(%.6g,%.6g,%.6g)", ro->placement[0], ro->placement[1], ro->placement[2]);
  return {};
}

void Walk(const CN5Obj* o, int depth, std::string& out, std::unordered_set<const CN5Obj*>& listed) {
  std::string indent(size_t(depth) * 2, ' ');
  if (!o) {
    out += indent + StrFormat("%d (null)\n", depth);
    return;
  }
  // A record met again (a shared child, or one listed twice by its parent)
  // is named by its id only, so the listing stays as long as the file.
  if (!listed.insert(o).second) {
    out += indent + StrFormat("%d -> id=%u (shared)\n", depth, o->objectId);
    return;
  }
  out += indent + StrFormat("%d %.*s \"%s\" header=%d id=%u children=%zu%s\n", depth,
                            static_cast<int>(o->className.size()), o->className.data(), o->objectName.c_str(),
                            o->headerValue, o->objectId, o->children.size(), KeyValues(o).c_str());
  if (depth > CN5Root::kMaxDepth) return;
  for (const CN5Obj* c : o->children) {
    if (c && c->parent != o)
      out += indent + StrFormat("  %d -> id=%u (shared)\n", depth + 1, c->objectId);
    else
      Walk(c, depth + 1, out, listed);
  }
}

}  // namespace

std::string InspectRecordTree(const CN5Root& root) {
  std::string out = StrFormat("records=%zu formatVersion=%d\n", root.All().size(), root.formatVersion);
  if (root.ImageSize() && root.BytesRead() != root.ImageSize())
    out += StrFormat("note: the root record ends at byte %zu of %zu\n", root.BytesRead(), root.ImageSize());
  std::unordered_set<const CN5Obj*> listed;
  listed.reserve(root.All().size());
  if (CN5Obj* r = root.Root()) Walk(r, 0, out, listed);
  return out;
}

namespace {
Result ReadForInspect(CN5Root& root, const std::string& path) {
  if (Result read = root.ReadFromFile(path); !read) {
    // A file that cannot be opened is named without the reason.
    if (read.status == Status::CannotRead) read.message = "Cannot open " + path;
    return read;
  }
  if (!root.Root()) return Result::Fail(Status::WrongKind, path + ": holds no record that can be read", path);
  return Result::Ok();
}
}  // namespace

Result InspectRecordFile(const std::string& path, std::string& listing) {
  CN5Root root;
  if (Result read = ReadForInspect(root, path); !read) return read;
  listing = InspectRecordTree(root);
  return Result::Ok();
}

Result RewriteRecordFile(const std::string& inPath, const std::string& outPath) {
  if (Result clear = CheckOutputs({inPath}, {outPath}); !clear) return clear;
  CN5Root root;
  if (Result read = ReadForInspect(root, inPath); !read) return read;
  // A record of an unknown kind cut its list short when read: what follows
  // it was not read, so the tree written would not be the file's.
  if (!root.UnrecognizedKinds().empty()) {
    return Result::Fail(Status::Unsupported,
                        inPath + ": holds a record of the kind \"" + root.UnrecognizedKinds().front() +
                            "\", which this program cannot read and so cannot write back; nothing was written",
                        inPath);
  }
  root.keepAllTsoReferences = true;
  root.keepReadWallTies = true;
  root.ResetWriteIds();
  return ReplaceFile(outPath, root.WriteToBuffer());
}

}  // namespace lapforge
