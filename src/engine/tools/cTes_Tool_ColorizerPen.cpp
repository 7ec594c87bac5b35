#include "engine/tools/cTes_Tool_ColorizerPen.h"

#include "engine/picture/BlendModes.h"

cTes_Tool_ColorizerPen::cTes_Tool_ColorizerPen() {
    blendMode = kTesBlend_ColorKeptSum;
}
