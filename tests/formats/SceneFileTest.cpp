// Scene file instances: the lines of a cleared tag, flags, shadows and
// responses, CR LF line ends.
#include <gtest/gtest.h>

#include "formats/scene/SceneFile.h"

namespace lapforge {

namespace {
CGlObjTag Tag(const std::string& name) {
  CGlObjTag tag;
  tag.ClearObjTag();
  tag.name = name;
  return tag;
}
}  // namespace

TEST(ScnWriter, ClearedTagGivesFiveLines) {
  std::string text;
  CZWriteScn::WriteInstance(Tag("Wall01"), "gmt", text);
  EXPECT_EQ(text,
            "Instance=Wall01\r\n{\r\n\tVisGroups=(32)\r\n"
            "\tMeshFile=Wall01.gmt CollTarget=False HATTarget=False \r\n}\r\n");
}

TEST(ScnWriter, FlagsShadowsAndResponses) {
  CGlObjTag tag = Tag("C:\\track\\Pit.gmt");
  tag.moveable = 1;
  tag.render = 0;
  tag.visible2 = 1;  // no group bit 32
  tag.collisionTarget = 1;
  tag.hatTarget = 1;
  tag.shadowReceiver = 1;
  tag.shadowKind = 2;
  tag.dynamicShadow = 1;
  tag.textureShadow = 1;
  tag.shadowSize = 0;
  tag.responseKind = 2;
  std::string text;
  CZWriteScn::WriteInstance(tag, "mts", text);
  EXPECT_EQ(text,
            "Instance=Pit\r\n{\r\n\tMoveable=True Render=False \r\n"
            "\tMeshFile=Pit.mts CollTarget=True HATTarget=True ShadowReceiver=True "
            "ShadowObject=(Dynamic,Texture,256,256)\r\n\tResponse=VEHICLE,PITSTOP \r\n}\r\n");

  CGlObjTag terrain = Tag("Road");
  terrain.hatTarget = 1;
  terrain.visible1 = 1;
  terrain.shadowReceiver = 1;
  terrain.shadowKind = 1;
  terrain.shadowSize = 128;
  text.clear();
  CZWriteScn::WriteInstance(terrain, "gmt", text);
  EXPECT_EQ(text,
            "Instance=Road\r\n{\r\n\tVisGroups=(96)\r\n"
            "\tMeshFile=Road.gmt CollTarget=False HATTarget=True ShadowReceiver=True "
            "ShadowCaster=(Static,Solid,128,128)\r\n\tResponse=VEHICLE,TERRAIN \r\n}\r\n");
}

}  // namespace lapforge
