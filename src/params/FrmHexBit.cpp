#include "params/FrmHexBit.h"

int16_t FrmHexBit::Exec(int16_t) { return 0; }
int16_t FrmHexBit::ExecPop(int16_t) { return 0; }
