// The templates carried inside the program (side files some exports place
// next to their meshes), written out byte for byte.
#pragma once

#include <cstddef>
#include <string>

namespace lapforge {

enum class TemplateKind { Text, Binary };

struct EmbeddedTemplate {
  int id;
  TemplateKind kind;
  const unsigned char* bytes;
  size_t size;
};

// Generated at build time from support/resources; ends with an entry of id 0.
extern const EmbeddedTemplate kEmbeddedTemplates[];

// The template of this id and kind, or nullptr.
const EmbeddedTemplate* FindTemplate(int id, TemplateKind kind);

// Write the template's bytes unchanged to file; false when the template is
// missing or the file cannot be written (nothing is reported).
bool WriteTextResource(int id, const std::string& file);
bool WriteBinaryResource(int id, const std::string& file);

}  // namespace lapforge
