#include "engine/tools/cTes_Tool_Smudge.h"

cTes_Tool_Smudge::cTes_Tool_Smudge() {
    smearFactor = 0.25f;
}
