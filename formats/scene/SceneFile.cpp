#include "formats/scene/SceneFile.h"

#include "support/FileIO.h"
#include "support/FileString.h"
#include "support/TextFormat.h"

namespace lapforge {

std::string CZWriteScn::InstanceTitle(const std::string& name) {
  const size_t cut = FileString::LastSeparator(name);
  std::string title = cut == std::string::npos ? name : name.substr(cut + 1);
  const size_t dot = title.rfind('.');
  if (dot != std::string::npos && dot > 0) title.resize(dot);
  return title;
}

int CZWriteScn::VisGroups(const CGlObjTag& tag) {
  int value = tag.visibilityGroup;
  if (tag.visible1) value |= 64;
  if (!tag.visible2) value |= 32;
  return value;
}

void CZWriteScn::WriteInstance(const CGlObjTag& tag, const std::string& extension, std::string& text) {
  const std::string title = InstanceTitle(tag.name);
  CTextWriter w;
  w.Line("Instance=" + title);
  w.Line("{");
  std::string flags;
  if (tag.moveable) flags += "Moveable=True ";
  if (!tag.render) flags += "Render=False ";
  const int groups = VisGroups(tag);
  if (groups > 0) flags += StrFormat("VisGroups=(%d)", groups);
  if (!flags.empty()) w.Line("\t" + flags);

  std::string mesh = "\tMeshFile=" + title + "." + extension + " ";
  mesh += tag.collisionTarget ? "CollTarget=True " : "CollTarget=False ";
  mesh += tag.hatTarget ? "HATTarget=True " : "HATTarget=False ";
  if (tag.shadowReceiver) mesh += tag.shadowKind != 0 ? "ShadowReceiver=True " : "ShadowReceiver=True";
  if (tag.shadowKind != 0) {
    const int size = tag.shadowSize > 0 ? tag.shadowSize : 256;
    mesh += StrFormat("%s=(%s,%s,%s,%s)", tag.shadowKind == 1 ? "ShadowCaster" : "ShadowObject",
                      tag.dynamicShadow ? "Dynamic" : "Static", tag.textureShadow ? "Texture" : "Solid",
                      std::to_string(size).c_str(), std::to_string(size).c_str());
  }
  w.Line(mesh);

  const char* response = nullptr;
  switch (tag.responseKind) {
    case 1: response = "Response=VEHICLE,TIMING "; break;
    case 2: response = "Response=VEHICLE,PITSTOP "; break;
    case 3: response = "Response=VEHICLE,CORNER "; break;
    case 0: response = tag.hatTarget ? "Response=VEHICLE,TERRAIN " : nullptr; break;
    default: break;
  }
  if (response) w.Line(std::string("\t") + response);
  w.Line("}");
  text += w.Take();
}

Result CZWriteScn::WriteScn(const std::string& path, const std::string& extension, const std::vector<CGlObjTag>& tags) {
  std::string text;
  text.reserve(tags.size() * 96);
  for (const CGlObjTag& tag : tags) WriteInstance(tag, extension, text);
  return ReplaceFile(path, text);
}

Result CZWriteScn::WriteScn(const std::string& path, const std::string& extension, const CGlBlockArray& blocks) {
  std::vector<CGlObjTag> tags;
  tags.reserve(static_cast<size_t>(blocks.GetSize()));
  for (int b = 0; b < blocks.GetSize(); ++b) {
    CGlObjTag tag = blocks[b].tag;
    tag.name = blocks[b].name;
    tags.push_back(std::move(tag));
  }
  return WriteScn(path, extension, tags);
}

}  // namespace lapforge
