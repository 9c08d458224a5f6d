// Sound operations not built yet: the game is silent.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::CreateSound() {}
void TForm1::ReleaseSound() {}
void TForm1::ApplyVolumes() {}
int TForm1::SlotStatus(int) { return 0; }
void TForm1::StopSlot(int) {}
void TForm1::SweepFinishedEffects() {
  for (int ch = 0; ch < 3; ++ch)
    if (SlotStatus(3 + ch) <= 1) Block->Live.SeNo[ch] = 0;
}
void TForm1::Kumo_PlayBGM(int, int, int, int) {}
void TForm1::Kumo_PlaySE(int, int, int, int) {}
void TForm1::Kumo_PlayVOICE(const std::u16string&, int) {}

}  // namespace mokuren
