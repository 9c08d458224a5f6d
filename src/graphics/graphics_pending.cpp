// Graphics operations not built yet.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::CreateSurfaces() { SurfaceTable[7].SetSize32(800, 184); SurfaceTable[6].SetSize32(800, 184); }
void TForm1::LoadSystemPictures(bool) {}
void TForm1::Kumo_ReadGraphic(int32_t, int32_t, bool) {}
void TForm1::Kumo_CreateNextImage() {}
void TForm1::StartTransition(int32_t, int32_t taskCode, int32_t resumeTaskCode) {
  TaskCode = taskCode;
  ResumeTaskCode = resumeTaskCode;
}
bool TForm1::SaveScreenshot(const std::string&, bool) { return false; }
void TForm1::Kumo_DispEffect_01() { TaskCode = task::Script; }
void TForm1::Kumo_DispEffect_91() { TaskCode = ResumeTaskCode; }
void TForm1::Kumo_CheckButton() {}
void TForm1::Kumo_DrawButton() {}
void TForm1::EnableButtons() {}
void TForm1::SetButtonStates(const std::array<int32_t, 10>& states) { ButtonState = states; }

}  // namespace mokuren
namespace mokuren { void TForm1::DrawMessageFrame() {} }
