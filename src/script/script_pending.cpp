// Script operations not built yet.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_TaskScript() {}
void TForm1::Kumo_ClearScenarioFlg() { ScenarioVars.Clear(); }
void TForm1::Kumo_ClearReturnTbl() {
  for (auto& e : ReturnTable) e = {0, 0};
  ReturnDepth = 0;
}

}  // namespace mokuren
