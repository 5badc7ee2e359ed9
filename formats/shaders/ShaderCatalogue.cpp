// The material shader catalogue: each shader's descriptions, the hardware
// shaders it uses at the DX7, DX8 and DX9 levels, its modes and the map kinds
// and blends of its stages. The hardware indices are resolved at start-up.
#include "formats/shaders/ShaderTables.h"

namespace lapforge {

// Fields per record: name, short description, DX7, DX8 and DX9 hardware
// names, their three indices; long description, variant, blend mode, mode,
// stages in use; the four stages; specular flag.
// clang-format off
constexpr _gfxSimEDShader g_gfxSimEDShaders[kGfxSimEDShaderCount] = {
    // 0
    {"DIFFUSET0", "t1 diffuse", "L0DIFFUSET0", "L1DIFFUSET0", "L2DIFFUSET0", -1, -1, -1,
     "Diffuse tex1 only, dx9.", 0, 0, 0, 1,
     {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage}, 0},
    // 1
    {"DIFFUSET0T1", "t1 add t2", "L0DIFFUSET0T1", "L1DIFFUSET0T1", "L2DIFFUSET0T1", -1, -1, -1,
     "Tex1 add tex2, dx9.", 0, 0, 0, 2,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage}, 0},
    // 2
    {"DIFFUSET0XT1", "t1 mul t2", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1", "L2DIFFUSET0XT1", -1, -1, -1,
     "Tex1 mul tex2, dx9.", 1, 0, 0, 2,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, kNoStage, kNoStage}, 0},
    // 3
    {"DIFFUSET0LERPT1", "t1 lerp t2", "L0DIFFUSET0LERPT1", "L1DIFFUSET0LERPT1", "L2DIFFUSET0LERPT1", -1, -1, -1,
     "Tex1 lerp tex2, dx9.", 0, 2, 0, 2,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage}, 0},
    // 4
    {"DIFFUSET0LERPT1VERTEXALPHA", "t1 lerp t2 vertex alpha", "L0DIFFUSET0LERPT1VERTEXALPHA", "L1DIFFUSET0LERPT1VERTEXALPHA", "L2DIFFUSET0LERPT1VERTEXALPHA", -1, -1, -1,
     "Tex1 lerp tex2 vertex alpha, dx9.", 0, 1, 0, 2,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage}, 0},
    // 5
    {"DIFFUSET0T1T2", "t1 add t2 add t3", "L0DIFFUSET0T1", "L1DIFFUSET0T1T2", "L2DIFFUSET0T1T2", -1, -1, -1,
     "Tex1 add tex2 add tex3, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, kNoStage}, 0},
    // 6
    {"DIFFUSET0T1XT2", "t1 add t2 mul t3", "L0DIFFUSET0T1", "L1DIFFUSET0T1XT2", "L2DIFFUSET0T1XT2", -1, -1, -1,
     "Tex1 add tex2 mul tex3, dx9.", 2, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, kNoStage}, 0},
    // 7
    {"DIFFUSET0XT1T2", "t1 mul t2 add t3", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1T2", "L2DIFFUSET0XT1T2", -1, -1, -1,
     "Tex1 mul tex2 add tex3, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, kNoStage}, 0},
    // 8
    {"DIFFUSET0XT1XT2", "t1 mul t2 mul t3", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1XT2", "L2DIFFUSET0XT1XT2", -1, -1, -1,
     "Tex1 mul tex2 mul tex3, dx9.", 3, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, kNoStage}, 0},
    // 9
    {"DIFFUSET0T1T2T3", "t1 add t2 add t3 add t4", "L0DIFFUSET0T1", "L1DIFFUSET0T1T2T3", "L2DIFFUSET0T1T2T3", -1, -1, -1,
     "Tex1 add tex2 add tex3 add tex4, dx9.", 0, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 1, 2, 3}}, 0},
    // 10
    {"DIFFUSET0XT1T2T3", "t1 mul t2 add t3 add t4", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1T2T3", "L2DIFFUSET0XT1T2T3", -1, -1, -1,
     "Tex1 mul tex2 add tex3 add tex4, dx9.", 1, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 1, 2, 3}}, 0},
    // 11
    {"DIFFUSET0T1XT2T3", "t1 add t2 mul t3 add t4", "L0DIFFUSET0T1", "L1DIFFUSET0T1XT2T3", "L2DIFFUSET0T1XT2T3", -1, -1, -1,
     "Tex1 add tex2 mul tex3 add tex4, dx9.", 2, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}}, 0},
    // 12
    {"DIFFUSET0LERPT1XT2T3VERTEXALPHA", "t1 lerp t2 mul t3 add t4 vertex alpha", "L0DIFFUSET0T1", "L1DIFFUSET0T1XT2T3", "L2DIFFUSET0LERPT1XT2T3VERTEXALPHA", -1, -1, -1,
     "Tex1 lerp tex2 mul tex3 add tex4 vertex alpha, dx9.", 2, 1, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}}, 0},
    // 13
    {"DIFFUSET0T1T2XT3", "t1 add t2 add t3 mul t4", "L0DIFFUSET0XT1", "L1DIFFUSET0T1T2XT3", "L2DIFFUSET0T1T2XT3", -1, -1, -1,
     "Tex1 add tex2 add tex3 mul tex4, dx9.", 4, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}}, 0},
    // 14
    {"DIFFUSET0XT1XT2T3", "t1 mul t2 mul t3 add t4", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1XT2T3", "L2DIFFUSET0XT1XT2T3", -1, -1, -1,
     "Tex1 mul tex2 mul tex3 add tex4, dx9.", 3, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}}, 0},
    // 15
    {"DIFFUSET0XT1T2XT3", "t1 mul t2 add t3 mul t4", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1T2XT3", "L2DIFFUSET0XT1T2XT3", -1, -1, -1,
     "Tex1 mul tex2 add tex3 mul tex4, dx9.", 5, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}}, 0},
    // 16
    {"DIFFUSET0T1XT2XT3", "t1 add t2 mul t3 mul t4", "L0DIFFUSET0T1", "L1DIFFUSET0T1XT2XT3", "L2DIFFUSET0T1XT2XT3", -1, -1, -1,
     "Tex1 add tex2 mul tex3 mul tex4, dx9.", 6, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}}, 0},
    // 17
    {"DIFFUSET0XT1XT2XT3", "t1 mul t2 mul t3 mul t4", "L0DIFFUSET0XT1", "L1DIFFUSET0XT1XT2XT3", "L2DIFFUSET0XT1XT2XT3", -1, -1, -1,
     "Tex1 mul tex2 mul tex3 mul tex4, dx9.", 7, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}}, 0},
    // 18
    {"NOLIGHTING", "t1 no lighting", "L0NOLIGHTING", "L1USEVERTEXONLY", "L2NOLIGHTING", -1, -1, -1,
     "Tex1 no lighting, dx9.", 0, 0, 0, 1,
     {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage}, 0},
    // 19
    {"NOTSHADER", "--------------------", "", "", "L2NOTSHADER", -1, -1, -1,
     "Separator line, not a shader.", 0, 0, 0, 0,
     {kNoStage, kNoStage, kNoStage, kNoStage}, 0},
    // 20
    {"SPECULART0", "specular color t1", "L0SPECULART0", "L1SPECULART0", "L2SPECULART0", -1, -1, -1,
     "Specular color tex1, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage}, 1},
    // 21
    {"SPECULART0T1", "specular color t1 add t2", "L0SPECULART0T1", "L1SPECULART0T1", "L2SPECULART0T1", -1, -1, -1,
     "Specular color tex1 add tex2, dx9.", 0, 0, 0, 2,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage}, 1},
    // 22
    {"SPECULART0T1T2", "specular color t1 add t2 add t3", "L0SPECULART0T1", "L1SPECULART0T1", "L2SPECULART0T1T2", -1, -1, -1,
     "Specular color tex1 add tex2 add tex3, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, kNoStage}, 1},
    // 23
    {"SPECULART0XT1T2", "specular color t1 mul t2 add t3", "L0SPECULART0XT1", "L1SPECULART0XT1", "L2SPECULART0XT1T2", -1, -1, -1,
     "Specular color tex1 mul tex2 add tex3, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, kNoStage}, 1},
    // 24
    {"SPECULART0T1XT2", "specular color t1 add t2 mul t3", "L0SPECULART0T1", "L1SPECULART0T1", "L2SPECULART0T1XT2", -1, -1, -1,
     "Specular color tex1 add tex2 mul tex3, dx9.", 2, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, kNoStage}, 1},
    // 25
    {"SPECULART0XT1XT2", "specular color t1 mul t2 mul t3", "L0SPECULART0XT1", "L1SPECULART0XT1", "L2SPECULART0XT1XT2", -1, -1, -1,
     "Specular color tex1 mul tex2 mul tex3, dx9.", 3, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, kNoStage}, 1},
    // 26
    {"SPECULARMAPT0", "specular map t1", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0", -1, -1, -1,
     "Specular map tex1, dx9.", 0, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 2, 2, 1}, kNoStage, kNoStage}, 1},
    // 27
    {"SPECULARMAPT0T1", "specular map t1 add t2", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0T1", -1, -1, -1,
     "Specular map tex1 add tex2, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 2, 2, 2}, kNoStage}, 1},
    // 28
    {"SPECULARMAPT0XT1", "specular map t1 mul t2", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0XT1", -1, -1, -1,
     "Specular map tex1 mul tex2, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 2, 2, 2}, kNoStage}, 1},
    // 29
    {"SPECULARMAPT0LERPT1VERTEXALPHA", "specular map t1 lerp t2 vertex alpha", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0LERPT1VERTEXALPHA", -1, -1, -1,
     "Specular map tex1 lerp tex2 vertex alpha, dx9.", 1, 1, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 2, 2, 2}, kNoStage}, 1},
    // 30
    {"SPECULARMAPT0T1T2", "specular map t1 add t2 add t3", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0T1T2", -1, -1, -1,
     "Specular map tex1 add tex2 add tex3, dx9.", 0, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 2, 4, 3}}, 1},
    // 31
    {"SPECULARMAPT0XT1T2", "specular map t1 mul t2 add t3", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0XT1T2", -1, -1, -1,
     "Specular map tex1 mul tex2 add tex3, dx9.", 1, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 2, 2, 3}}, 1},
    // 32
    {"SPECULARMAPT0T1XT2", "specular map t1 add t2 mul t3", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0T1XT2", -1, -1, -1,
     "Specular map tex1 add tex2 mul tex3, dx9.", 2, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 2, 2, 3}}, 1},
    // 33
    {"SPECULARMAPT0XT1XT2", "specular map t1 mul t2 mul t3", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0XT1XT2", -1, -1, -1,
     "Specular map tex1 mul tex2 mul tex3, dx9.", 3, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 2, 2, 3}}, 1},
    // 34
    {"SPECULART0SHADOW", "specular rgb t1 shadow", "L0SPECULART0", "L1SPECULART0", "L2SPECULART0SHADOW", -1, -1, -1,
     "Specular rgb tex1 shadow, dx9.", 1, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 4, 1}, kNoStage, kNoStage}, 1},
    // 35
    {"SPECULARMAPT0SHADOW", "specular map t1 shadow", "L1SPECULARMAPT0", "L1SPECULARMAPT0", "L2SPECULARMAPT0SHADOW", -1, -1, -1,
     "Specular map tex1 shadow, dx9.", 1, 0, 0, 5,
     {{0, 1, 3, 0}, {1, 2, 2, 1}, {2, 1, 4, 2}, kNoStage}, 1},
    // 36
    {"NOTSHADER", "--------------------", "", "", "L2NOTSHADER", -1, -1, -1,
     "Separator line, not a shader.", 0, 0, 0, 0,
     {kNoStage, kNoStage, kNoStage, kNoStage}, 0},
    // 37
    {"CMAPT0", "cube map t1", "L0CMAPT0", "L1CMAPT0", "L2CMAPT0", -1, -1, -1,
     "Cube map tex1, dx9.", 0, 0, 0, 2,
     {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage}, 0},
    // 38
    {"CMAPADDT0", "cube map add t1", "L0CMAPADDT0", "L1CMAPADDT0", "L2CMAPADDT0", -1, -1, -1,
     "Cube map add tex1, dx9.", 0, 0, 1, 2,
     {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage}, 0},
    // 39
    {"CMAPT0T1", "cube map t1 add t2", "L0CMAPT0", "L1CMAPT0T1", "L2CMAPT0T1", -1, -1, -1,
     "Cube map tex1 add tex2, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 40
    {"CMAPT0XT1", "cube map t1 mul t2", "L0CMAPT0", "L1CMAPT0XT1", "L2CMAPT0XT1", -1, -1, -1,
     "Cube map tex1 mul tex2, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 41
    {"CMAPADDALPHAREFLECTT0", "cube map add alpha reflect t1", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0", "L2CMAPADDALPHAREFLECTT0", -1, -1, -1,
     "Cube map add alpha reflect tex1, dx9.", 0, 0, 2, 2,
     {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage}, 0},
    // 42
    {"CMAPADDALPHAREFLECTT0T1", "cube map add alpha reflect t1 t2", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0T1", "L2CMAPADDALPHAREFLECTT0T1", -1, -1, -1,
     "Cube map add alpha reflect tex1 tex2, dx9.", 1, 0, 2, 3,
     {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 43
    {"CMAPADDCOLORREFLECTT0T1", "cube map add color reflect t1 t2", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0", "L2CMAPADDCOLORREFLECTT0T1", -1, -1, -1,
     "Cube map add color reflect tex1 tex2, dx9.", 1, 0, 4, 3,
     {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 44
    {"CMAPADDGRAYSCALEREFLECTT0T1", "cube map add grayscale reflect t1 t2", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0", "L2CMAPADDGRAYSCALEREFLECTT0T1", -1, -1, -1,
     "Cube map add grayscale reflect tex1 tex2, dx9.", 1, 0, 5, 3,
     {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 45
    {"CMAPLERPALPHAREFLECTT0", "cube map lerp alpha reflect t1", "L0CMAPT0", "L1CMAPLERPALPHAREFLECTT0", "L2CMAPLERPALPHAREFLECTT0", -1, -1, -1,
     "Cube map lerp alpha reflect tex1, dx9.", 0, 1, 0, 2,
     {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage}, 0},
    // 46
    {"CMAPSPECT0", "cube map specular color t1", "L0CMAPSPECT0", "L1CMAPSPECT0", "L2CMAPSPECT0", -1, -1, -1,
     "Cube map specular color tex1, dx9.", 0, 0, 0, 2,
     {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage}, 1},
    // 47
    {"CMAPSPECT0T1", "cube map specular color t1 add t2", "L0CMAPSPECT0", "L1CMAPSPECT0", "L2CMAPSPECT0T1", -1, -1, -1,
     "Cube map specular color tex1 add tex2, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 11, 4, 2}, kNoStage}, 1},
    // 48
    {"CMAPSPECT0XT1", "cube map specular color t1 mul t2", "L0CMAPSPECT0", "L1CMAPSPECT0", "L2CMAPSPECT0XT1", -1, -1, -1,
     "Cube map specular color tex1 mul tex2, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 11, 4, 2}, kNoStage}, 1},
    // 49
    {"CMAPSPECMAPT0", "cube map specular map t1", "L0CMAPSPECT0", "L1CMAPSPECT0", "L2CMAPSPECMAPT0", -1, -1, -1,
     "Cube map specular map tex1, dx9.", 0, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage}, 1},
    // 50
    {"CMAPSPECADDT0", "cube map specular coloradd t1", "L0CMAPSPECT0", "L1CMAPSPECADDT0", "L2CMAPSPECADDT0", -1, -1, -1,
     "Cube map specular coloradd tex1, dx9.", 0, 0, 1, 2,
     {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage}, 1},
    // 51
    {"CMAPSPECMAPADDGRAYSCALEREFLECTT0", "cube map specular map add grayscale reflect t1", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0", "L2CMAPSPECMAPADDGRAYSCALEREFLECTT0", -1, -1, -1,
     "Cube map specular map add grayscale reflect tex1, dx9.", 0, 0, 2, 3,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage}, 1},
    // 52
    {"CMAPSPECMAPALPHASWAPSPECMAPT0", "cube map specular map alpha swap specmap t1", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0", "L2CMAPSPECMAPALPHASWAPSPECMAPT0", -1, -1, -1,
     "Cube map specular map alpha swap specmap tex1, dx9.", 0, 0, 4, 3,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage}, 1},
    // 53
    {"NOTSHADER", "--------------------", "", "", "L2NOTSHADER", -1, -1, -1,
     "Separator line, not a shader.", 0, 0, 0, 0,
     {kNoStage, kNoStage, kNoStage, kNoStage}, 0},
    // 54
    {"BUMPT0", "bump map t1", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPT0", -1, -1, -1,
     "Bump map tex1, dx9.", 0, 0, 0, 2,
     {{0, 1, 3, 0}, {1, 5, 4, 1}, kNoStage, kNoStage}, 0},
    // 55
    {"BUMPT0T1", "bump map t1 add t2", "L0DIFFUSET0T1", "L1BUMPT0T1", "L2BUMPT0T1", -1, -1, -1,
     "Bump map tex1 add tex2, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, kNoStage}, 0},
    // 56
    {"BUMPT0XT1", "bump map t1 mul t2", "L0DIFFUSET0XT1", "L1BUMPT0XT1", "L2BUMPT0XT1", -1, -1, -1,
     "Bump map tex1 mul tex2, dx9.", 1, 0, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, kNoStage}, 0},
    // 57
    {"BUMPT0LERPT1VERTEXALPHA", "bump map t1 lerp t2 vertex alpha", "L0DIFFUSET0T1", "L1BUMPT0T1", "L2BUMPT0LERPT1VERTEXALPHA", -1, -1, -1,
     "Bump map tex1 lerp tex2 vertex alpha, dx9.", 1, 1, 0, 3,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, kNoStage}, 0},
    // 58
    {"BUMPSPECT0", "bump map specular color t1", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPSPECT0", -1, -1, -1,
     "Bump map specular color tex1, dx9.", 0, 0, 0, 3,
     {{0, 5, 4, 0}, kNoStage, kNoStage, kNoStage}, 1},
    // 59
    {"BUMPSPECMAPT0", "bump specular map t1", "L0DIFFUSET0", "L1BUMPSPECMAPT0", "L2BUMPSPECMAPT0", -1, -1, -1,
     "Bump specular map tex1, dx9.", 0, 0, 0, 5,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, kNoStage}, 1},
    // 60
    {"BUMPSPECMAPT0LERPT1VERTEXALPHA", "bump specular map t1 lerp t2 vertex alpha", "L0DIFFUSET0", "L1BUMPSPECMAPT0", "L2BUMPSPECMAPT0LERPT1VERTEXALPHA", -1, -1, -1,
     "Bump specular map tex1 lerp tex2 vertex alpha, dx9.", 1, 1, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 2, 4, 2}, {3, 5, 4, 3}}, 1},
    // 61
    {"BUMPCMAPT0", "bump cube t1", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPT0", -1, -1, -1,
     "Bump cube tex1, dx9.", 0, 0, 0, 5,
     {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 62
    {"BUMPCMAPADDALPHAREFLECTT0", "bump cube add alpha reflect t1", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPADDALPHAREFLECTT0", -1, -1, -1,
     "Bump cube add alpha reflect tex1, dx9.", 0, 0, 2, 5,
     {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 11, 4, 2}, kNoStage}, 0},
    // 63
    {"BUMPCMAPADDALPHAREFLECTT0T1", "bump cube add alpha reflect t1 t2", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPADDALPHAREFLECTT0T1", -1, -1, -1,
     "Bump cube add alpha reflect tex1 tex2, dx9.", 1, 0, 2, 6,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}}, 0},
    // 64
    {"BUMPCMAPADDCOLORREFLECTT0T1", "bump cube add color reflect t1 t2", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPADDCOLORREFLECTT0T1", -1, -1, -1,
     "Bump cube add color reflect tex1 tex2, dx9.", 1, 0, 4, 6,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}}, 0},
    // 65
    {"BUMPCMAPADDGRAYSCALEREFLECTT0T1", "bump cube add grayscale reflect t1 t2", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPADDGRAYSCALEREFLECTT0T1", -1, -1, -1,
     "Bump cube add grayscale reflect tex1 tex2, dx9.", 1, 0, 5, 6,
     {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}}, 0},
    // 66
    {"BUMPCMAPSPECMAPT0", "bump cube specular map t1", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPSPECMAPT0", -1, -1, -1,
     "Bump cube specular map tex1, dx9.", 0, 0, 0, 6,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}}, 1},
    // 67
    {"BUMPCMAPSPECMAPADDALPHAREFLECTT0", "bump cube specular map add alpha reflect t1", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPSPECMAPADDALPHAREFLECTT0", -1, -1, -1,
     "Bump cube specular map add alpha reflect tex1, dx9.", 0, 0, 2, 6,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}}, 1},
    // 68
    {"BUMPCMAPSPECMAPADDSPECULARREFLECTT0", "bump cube specular map add alpha specular reflect", "L0DIFFUSET0", "L1BUMPT0", "L2BUMPCMAPSPECMAPADDSPECULARREFLECTT0", -1, -1, -1,
     "Bump cube specular map add alpha specular reflect, dx9.", 0, 0, 3, 6,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}}, 1},
    // 69
    {"BUMPSPECMAPT0SHADOW", "bump specular map t1 shadow map", "L0DIFFUSET0", "L1BUMPSPECMAPT0", "L2BUMPSPECMAPT0SHADOW", -1, -1, -1,
     "Bump specular map tex1 shadow map, dx9.", 1, 0, 0, 6,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 1, 4, 3}}, 1},
    // 70
    {"NOTSHADER", "--------------------", "", "", "L2NOTSHADER", -1, -1, -1,
     "Separator line, not a shader.", 0, 0, 0, 0,
     {kNoStage, kNoStage, kNoStage, kNoStage}, 0},
    // 71
    {"TWOTONEPAINTT0", "two tone paint t1", "L0SPECULART0", "L1SPECULART0", "L2TWOTONEPAINTT0", -1, -1, -1,
     "Two tone paint tex1, dx9.", 1, 0, 0, 8,
     {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 1, 4, 2}, {3, 11, 4, 3}}, 0},
    // 72
    {"CMAPSPECMAPFRESNELT0", "cube map specular map fresnel t1", "L0CMAPT0", "L1CMAPADDALPHAREFLECTT0", "L2CMAPSPECMAPFRESNELT0", -1, -1, -1,
     "Cube map specular map fresnel tex1, dx9.", 0, 0, 6, 3,
     {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage}, 1},
    // 73
    {"RAINREFLECT", "rain reflection", "L0NOLIGHTING", "L1USEVERTEXONLY", "L2RAINREFLECT", -1, -1, -1,
     "Rain reflection, dx9.", 6, 0, 0, 4,
     {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}}, 0},
};
// clang-format on

}  // namespace lapforge
