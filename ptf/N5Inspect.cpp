#include "ptf/N5Inspect.h"

#include "app/support/TextFormat.h"
#include "ptf/N5Descriptors.h"

namespace {

std::string KeyValues(const CN5Obj* o) {
  if (auto* s = dynamic_cast<const CN5ObjSg*>(o))
    return StrFormat(" type=%d start=(%.6g,%.6g) end=(%.6g,%.6g) endAngle=%.6g", s->segType, s->startX, s->startY,
                     s->endX, s->endY, s->endAngle);
  if (auto* f = dynamic_cast<const CN5ObjFs*>(o))
    return StrFormat(" lat=%.6g..%.6g grip=%d kind=%d", f->latStart, f->latEnd, f->grip, f->bandKind);
  if (auto* w = dynamic_cast<const CN5ObjWs*>(o))
    return StrFormat(" lat=%.6g..%.6g height=%.6g..%.6g wallType=%d", w->latStart, w->latEnd, w->heightStart,
                     w->heightEnd, w->wallType);
  if (auto* x = dynamic_cast<const CN5ObjXs*>(o))
    return StrFormat(" lat=%.6g..%.6g height=%.6g..%.6g", x->latStart, x->latEnd, x->heightStart, x->heightEnd);
  if (auto* t = dynamic_cast<const CN5ObjTk*>(o)) return StrFormat(" segments=%d", t->segmentCount);
  if (auto* t = dynamic_cast<const CN5ObjTx*>(o)) return " texture=\"" + t->textureName + "\"";
  if (auto* t = dynamic_cast<const CN5ObjTo*>(o)) return " file=\"" + t->fileName + "\"";
  if (auto* s = dynamic_cast<const CN5ObjSw*>(o)) return " switch=\"" + s->switchName + "\"";
  if (auto* s = dynamic_cast<const CN5ObjSh*>(o)) return " shape=\"" + s->shapeName + "\"";
  if (auto* v = dynamic_cast<const CN5ObjVl*>(o)) return StrFormat(" vertices=%zu", v->positions.size());
  if (auto* g = dynamic_cast<const CN5ObjGm*>(o)) return StrFormat(" triangles=%zu", g->triangles.size() / 3);
  if (auto* l = dynamic_cast<const CN5ObjTl*>(o)) return StrFormat(" indices=%zu", l->indices.size());
  if (auto* l = dynamic_cast<const CN5ObjTs*>(o)) return StrFormat(" indices=%zu", l->indices.size());
  if (auto* a = dynamic_cast<const CN5ObjAp*>(o))
    return StrFormat(" mode=%d colour=(%.6g,%.6g,%.6g)", a->mode, a->lighting[0], a->lighting[1], a->lighting[2]);
  if (auto* ro = dynamic_cast<const CN5ObjRo*>(o))
    return StrFormat(" at=(%.6g,%.6g,%.6g)", ro->placement[0], ro->placement[1], ro->placement[2]);
  return {};
}

void Walk(const CN5Obj* o, int depth, std::string& out) {
  std::string indent(size_t(depth) * 2, ' ');
  if (!o) {
    out += indent + StrFormat("%d (null)\n", depth);
    return;
  }
  out += indent + StrFormat("%d %s \"%s\" header=%d id=%u children=%zu%s\n", depth, o->className.c_str(),
                            o->objectName.c_str(), o->headerValue, o->objectId, o->children.size(),
                            KeyValues(o).c_str());
  if (depth > CN5Root::kMaxDepth) return;
  for (const CN5Obj* c : o->children) {
    // A shared record is listed in full under its first parent only.
    if (c && c->parent != o)
      out += indent + StrFormat("  %d -> id=%u (shared)\n", depth + 1, c->objectId);
    else
      Walk(c, depth + 1, out);
  }
}

}  // namespace

std::string InspectRecordTree(const CN5Root& root) {
  std::string out = StrFormat("records=%zu formatVersion=%d\n", root.All().size(), root.formatVersion);
  if (CN5Obj* r = root.Root()) Walk(r, 0, out);
  return out;
}
