// Archive operations not built yet: they behave as an archive with no entries.
#include "app/TForm1.h"

namespace mokuren {

bool TForm1::Kuri_FileInit() { return true; }
int TForm1::Kuri_ReadFile(int kind, int entry, std::vector<uint8_t>& stream) {
  if (kind < 1 || kind > 3) return 0;
  stream.clear();
  return -1;
}
int TForm1::Kuri_FileNo(int kind, const std::u16string& name) { return 0; }

}  // namespace mokuren
