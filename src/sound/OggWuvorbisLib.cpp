#include "sound/OggWuvorbisLib.h"

#include <cstring>

namespace mokuren {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (position_ < 0 || position_ >= Size()) return 0;
  size_t n = std::min(count, static_cast<size_t>(Size() - position_));
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += static_cast<int64_t>(n);
  return n;
}

int64_t TMemoryStream::Seek(int64_t offset, int origin) {
  int64_t base = origin == SEEK_CUR ? position_ : origin == SEEK_END ? Size() : 0;
  int64_t target = base + offset;
  if (target < 0) return -1;
  position_ = target;  // past the end is allowed; reads there return nothing
  return position_;
}

namespace {

// The four callbacks, in ov_callbacks order. The data source is the TMemoryStream.
size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
  if (size == 0 || count == 0) return 0;
  return static_cast<TMemoryStream*>(source)->Read(buffer, size * count) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) {
  // The low 32 bits of the offset, as the decoder's stream interface always took them.
  int64_t r = static_cast<TMemoryStream*>(source)->Seek(static_cast<int32_t>(offset), origin);
  return r < 0 ? -1 : 0;
}

int CloseCallback(void* source) {
  delete static_cast<TMemoryStream*>(source);  // the decoder owns the stream from a successful open
  return 0;
}

long TellCallback(void* source) { return static_cast<long>(static_cast<TMemoryStream*>(source)->Position()); }

std::unique_ptr<TVorbisFileDLL>& GlobalBinding() {
  static std::unique_ptr<TVorbisFileDLL> binding;
  return binding;
}

}  // namespace

TVorbisFileDLL::TVorbisFileDLL() : callbacks_{ReadCallback, SeekCallback, CloseCallback, TellCallback} {}

int TVorbisFileDLL::ov_open_callbacks(TMemoryStream* source, OggVorbis_File* vf) {
  return ::ov_open_callbacks(source, vf, nullptr, 0, callbacks_);
}
void TVorbisFileDLL::ov_clear(OggVorbis_File* vf) { ::ov_clear(vf); }
vorbis_info* TVorbisFileDLL::ov_info(OggVorbis_File* vf) { return ::ov_info(vf, -1); }
vorbis_comment* TVorbisFileDLL::ov_comment(OggVorbis_File* vf) { return ::ov_comment(vf, -1); }
int64_t TVorbisFileDLL::ov_pcm_total(OggVorbis_File* vf) { return ::ov_pcm_total(vf, -1); }
double TVorbisFileDLL::ov_time_total(OggVorbis_File* vf) { return ::ov_time_total(vf, -1); }
long TVorbisFileDLL::ov_read(OggVorbis_File* vf, char* buffer, int length, int* section) {
  return ::ov_read(vf, buffer, length, 0, 2, 1, section);
}
long TVorbisFileDLL::ov_seekable(OggVorbis_File* vf) { return ::ov_seekable(vf); }
int TVorbisFileDLL::ov_time_seek(OggVorbis_File* vf, double seconds) { return ::ov_time_seek(vf, seconds); }
double TVorbisFileDLL::ov_time_tell(OggVorbis_File* vf) { return ::ov_time_tell(vf); }

bool LoadVorbisLibrary(const std::string& fileName) {
  // The binding holds no state after creation, and streams on other threads may be using it, so an
  // existing one is kept rather than replaced.
  if (!GlobalBinding()) GlobalBinding() = std::make_unique<TVorbisFileDLL>();
  return true;
}

TVorbisFileDLL& VorbisFile() {
  auto& binding = GlobalBinding();
  if (!binding) binding = std::make_unique<TVorbisFileDLL>();
  return *binding;
}

}  // namespace mokuren
