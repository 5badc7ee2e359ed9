// The export blocks of a built track.
#include "app/Lapforge.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "track/N5Ptf.h"

void CLapforge::CreateObjects(CN5Ptf&, CGlBlockArray&, CGlMaterialArray&, CGlMipArray&, std::vector<std::string>&,
                              std::vector<std::string>&, std::vector<std::string>&) {}
