#include "params/FrmEEP.h"

void FrmEEP::Exec(const std::string&) {}
void FrmEEP::CheckPoint(const std::string&) {}
void FrmEEP::ChkeckDataToUserData() {}
