#include "AfxState.h"

void AfxDeleteTemporaryObjects(AfxThreadState* pState) {
    pState->temporaryWnds.clear();
    pState->temporaryDCs.clear();
    pState->temporaryGdiObjects.clear();
}
