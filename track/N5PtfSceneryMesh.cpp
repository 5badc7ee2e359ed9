// Scenery meshes for the exporters: infield fans, outfield banks and boards.
#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlPointArray.h"
#include "track/N5Ptf.h"

void CN5Ptf::CreateInfieldObject(const _vars_infield_obj&, CGlFaceArray&, CGlPointArray&, CGlMaterialArray&) {}
void CN5Ptf::CreateOutfieldObject(const _vars_outfield_obj&, CGlFaceArray&, CGlPointArray&, CGlMaterialArray&) {}
void CN5Ptf::CreateTreeObject(const _vars_vertical_obj&, CGlFaceArray&, CGlPointArray&, CGlMaterialArray&) {}
