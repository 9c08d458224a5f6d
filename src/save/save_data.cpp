// Making the save data: the block, and the save/load screen and comment dialog that it is the host of.
#include "save/save_data.h"

#include "dialogs/TCommentForm.h"
#include "save/TForm7.h"

namespace mokuren {

SaveData::SaveData(SaveHost& host, Platform& platform, ErrorList& errors, const std::filesystem::path& gameDir)
    : SaveLoadForm(std::make_unique<TForm7>(*this)),
      CommentForm(std::make_unique<TCommentForm>(*this)),
      host_(host),
      platform_(platform),
      errors_(errors),
      gameDir_(gameDir) {}

SaveData::~SaveData() = default;

}  // namespace mokuren
