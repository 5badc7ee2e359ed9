// The hardware shader table: for each graphics level and effect, the map kind
// and blend of every texture stage in use. Stage number and texture
// coordinate set equal the stage's position.
#include "formats/shaders/ShaderTables.h"

namespace lapforge {

// clang-format off
constexpr _gfxDXShader g_gfxDXShaders[kGfxDXShaderCount] = {
    // 0
    {"L0DIFFUSET0", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 1
    {"L1DIFFUSET0", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 2
    {"L2DIFFUSET0", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 3
    {"L0DIFFUSET0T1", {{0, 1, 1, 0}, {1, 1, 2, 1}, {2, 15, 6, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 4
    {"L1DIFFUSET0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 5
    {"L2DIFFUSET0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 6
    {"L0DIFFUSET0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 7
    {"L1DIFFUSET0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 8
    {"L2DIFFUSET0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 9
    {"L0DIFFUSET0LERPT1", {{0, 1, 1, 0}, {1, 1, 5, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 10
    {"L1DIFFUSET0LERPT1", {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 11
    {"L2DIFFUSET0LERPT1", {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 12
    {"L0DIFFUSET0LERPT1VERTEXALPHA", {{0, 1, 1, 0}, {1, 1, 11, 1}, {2, 15, 6, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 13
    {"L1DIFFUSET0LERPT1VERTEXALPHA", {{0, 1, 3, 0}, {1, 1, 3, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 14
    {"L2DIFFUSET0LERPT1VERTEXALPHA", {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 15
    {"L1DIFFUSET0T1T2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 16
    {"L2DIFFUSET0T1T2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 17
    {"L1DIFFUSET0T1XT2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 18
    {"L2DIFFUSET0T1XT2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 19
    {"L1DIFFUSET0XT1T2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 20
    {"L2DIFFUSET0XT1T2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 21
    {"L1DIFFUSET0XT1XT2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 22
    {"L2DIFFUSET0XT1XT2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 23
    {"L1DIFFUSET0T1T2T3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 24
    {"L2DIFFUSET0T1T2T3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 25
    {"L1DIFFUSET0XT1T2T3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 26
    {"L2DIFFUSET0XT1T2T3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 27
    {"L1DIFFUSET0T1XT2T3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 28
    {"L2DIFFUSET0T1XT2T3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 29
    {"L2DIFFUSET0LERPT1XT2T3VERTEXALPHA", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 30
    {"L1DIFFUSET0T1T2XT3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 31
    {"L2DIFFUSET0T1T2XT3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 32
    {"L1DIFFUSET0XT1XT2T3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 33
    {"L2DIFFUSET0XT1XT2T3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 1, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 34
    {"L1DIFFUSET0XT1T2XT3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 35
    {"L2DIFFUSET0XT1T2XT3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 36
    {"L1DIFFUSET0T1XT2XT3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 37
    {"L2DIFFUSET0T1XT2XT3", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 38
    {"L1DIFFUSET0XT1XT2XT3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 39
    {"L2DIFFUSET0XT1XT2XT3", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 40
    {"L2NOLIGHTING", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 41
    {"L2NOTSHADER", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 42
    {"L0SPECULART0", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 43
    {"L1SPECULART0", {{0, 1, 3, 0}, {1, 15, 4, 1}, {2, 14, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 44
    {"L2SPECULART0", {{0, 1, 3, 0}, {1, 15, 4, 1}, {2, 15, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 45
    {"L0SPECULART0T1", {{0, 1, 1, 0}, {1, 1, 2, 1}, {2, 15, 6, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 46
    {"L1SPECULART0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 14, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 47
    {"L2SPECULART0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 48
    {"L0SPECULART0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 49
    {"L1SPECULART0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 14, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 50
    {"L2SPECULART0T1T2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 51
    {"L2SPECULART0XT1T2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 52
    {"L2SPECULART0T1XT2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 53
    {"L2SPECULART0XT1XT2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 54
    {"L0SPECULARMAPT0", {{0, 1, 3, 0}, {1, 2, kSpecularBlend, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 55
    {"L1SPECULARMAPT0", {{0, 1, 3, 0}, {1, 2, 2, 1}, {2, 14, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 56
    {"L2SPECULARMAPT0", {{0, 1, 3, 0}, {1, 2, 2, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 57
    {"L2SPECULARMAPT0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 2, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 58
    {"L2SPECULARMAPT0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 2, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 59
    {"L2SPECULARMAPT0LERPT1VERTEXALPHA", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 2, 2, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 60
    {"L2SPECULARMAPT0T1T2", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 2, 2}, {3, 2, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 61
    {"L2SPECULARMAPT0XT1T2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 2, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 62
    {"L2SPECULARMAPT0T1XT2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 2, 2}, {3, 2, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 63
    {"L2SPECULARMAPT0XT1XT2", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 1, 3, 2}, {3, 2, 2, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 64
    {"L2SPECULART0SHADOW", {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 65
    {"L2SPECULARMAPT0SHADOW", {{0, 1, 3, 0}, {1, 2, 2, 1}, {2, 1, 4, 2}, {3, 15, 4, 3}, {4, 15, 4, 4}, kNoStage, kNoStage, kNoStage}},
    // 66
    {"L2NOTSHADER", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 67
    {"L0CMAPT0", {{0, 1, 1, 0}, {1, 11, 5, 1}, {2, 15, 6, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 68
    {"L1CMAPT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 69
    {"L2CMAPT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 70
    {"L0CMAPADDT0", {{0, 1, 1, 0}, {1, 11, 2, 1}, {2, 15, 6, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 71
    {"L1CMAPADDT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 72
    {"L2CMAPADDT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 73
    {"L1CMAPT0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 11, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 74
    {"L2CMAPT0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 75
    {"L1CMAPT0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 11, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 76
    {"L2CMAPT0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 77
    {"L1CMAPADDALPHAREFLECTT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 78
    {"L2CMAPADDALPHAREFLECTT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 79
    {"L1CMAPADDALPHAREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 80
    {"L2CMAPADDALPHAREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 81
    {"L2CMAPADDCOLORREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 82
    {"L2CMAPADDGRAYSCALEREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 83
    {"L1CMAPLERPALPHAREFLECTT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 84
    {"L2CMAPLERPALPHAREFLECTT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 85
    {"L0CMAPSPECT0", {{0, 1, 1, 0}, {1, 11, 5, 1}, {2, 15, 6, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 86
    {"L1CMAPSPECT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, {2, 14, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 87
    {"L2CMAPSPECT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 88
    {"L2CMAPSPECT0T1", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 89
    {"L2CMAPSPECT0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 90
    {"L2CMAPSPECMAPT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 91
    {"L1CMAPSPECADDT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, {2, 14, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 92
    {"L2CMAPSPECADDT0", {{0, 1, 3, 0}, {1, 11, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 93
    {"L2CMAPSPECMAPADDGRAYSCALEREFLECTT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 94
    {"L2CMAPSPECMAPALPHASWAPSPECMAPT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 95
    {"L0NONDIRECTIONALT0", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 96
    {"L0NOLIGHTINGT0", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 97
    {"L1NOLIGHTINGT0", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 98
    {"L2NOTSHADER", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 99
    {"L1BUMPT0", {{0, 1, 3, 0}, {1, 15, 4, 1}, {2, 15, 4, 2}, {3, 5, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 100
    {"L2BUMPT0", {{0, 1, 3, 0}, {1, 5, 4, 1}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 101
    {"L1BUMPT0T1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 15, 4, 2}, {3, 5, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 102
    {"L2BUMPT0T1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 103
    {"L1BUMPT0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 15, 4, 2}, {3, 5, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 104
    {"L2BUMPT0XT1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 105
    {"L2BUMPT0LERPT1VERTEXALPHA", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 106
    {"L2BUMPSPECT0", {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 15, 4, 2}, {3, 15, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 107
    {"L1BUMPSPECMAPT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 9, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 108
    {"L2BUMPSPECMAPT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 15, 4, 3}, {4, 15, 4, 4}, kNoStage, kNoStage, kNoStage}},
    // 109
    {"L2BUMPSPECMAPT0LERPT1VERTEXALPHA", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 2, 4, 2}, {3, 5, 4, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 110
    {"L2BUMPCMAPT0", {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 11, 4, 2}, {3, 15, 4, 3}, {4, 15, 4, 4}, kNoStage, kNoStage, kNoStage}},
    // 111
    {"L2BUMPCMAPADDALPHAREFLECTT0", {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 11, 4, 2}, {3, 15, 4, 3}, {4, 15, 4, 4}, kNoStage, kNoStage, kNoStage}},
    // 112
    {"L2BUMPCMAPADDALPHAREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 113
    {"L2BUMPCMAPADDCOLORREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 114
    {"L2BUMPCMAPADDGRAYSCALEREFLECTT0T1", {{0, 1, 3, 0}, {1, 1, 3, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 115
    {"L2BUMPCMAPSPECMAPT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 116
    {"L2BUMPCMAPSPECMAPADDALPHAREFLECTT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 117
    {"L2BUMPCMAPSPECMAPADDSPECULARREFLECTT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 118
    {"L2BUMPSPECMAPT0SHADOW", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 5, 4, 2}, {3, 1, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, kNoStage, kNoStage}},
    // 119
    {"L2NOTSHADER", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 120
    {"L2TWOTONEPAINTT0", {{0, 1, 3, 0}, {1, 5, 4, 1}, {2, 1, 4, 2}, {3, 11, 4, 3}, {4, 15, 4, 4}, {5, 15, 4, 5}, {6, 15, 4, 6}, {7, 15, 4, 7}}},
    // 121
    {"L2CMAPSPECMAPFRESNELT0", {{0, 1, 3, 0}, {1, 2, 4, 1}, {2, 11, 4, 2}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 122
    {"L0NOLIGHTING", {{0, 1, 3, 0}, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 123
    {"L1USEVERTEXONLY", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 124
    {"L2USEVERTEXONLY", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 125
    {"L2USEVERTEXPIXEL", {kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage, kNoStage}},
    // 126
    {"L2RAINREFLECT", {{0, 1, 3, 0}, {1, 1, 2, 1}, {2, 1, 3, 2}, {3, 1, 3, 3}, kNoStage, kNoStage, kNoStage, kNoStage}},
};
// clang-format on

}  // namespace lapforge
