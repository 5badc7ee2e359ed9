#include "support/Templates.h"

#include "support/FileIO.h"

namespace lapforge {

const EmbeddedTemplate* FindTemplate(int id, TemplateKind kind) {
  for (const EmbeddedTemplate* t = kEmbeddedTemplates; t->bytes; ++t) {
    if (t->id == id && t->kind == kind) return t;
  }
  return nullptr;
}

namespace {
bool WriteTemplate(int id, TemplateKind kind, const std::string& file) {
  const EmbeddedTemplate* t = FindTemplate(id, kind);
  if (!t) return false;
  return static_cast<bool>(ReplaceFile(file, t->bytes, t->size));
}
}  // namespace

bool WriteTextResource(int id, const std::string& file) { return WriteTemplate(id, TemplateKind::Text, file); }
bool WriteBinaryResource(int id, const std::string& file) { return WriteTemplate(id, TemplateKind::Binary, file); }

}  // namespace lapforge
