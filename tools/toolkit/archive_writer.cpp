#include "toolkit/archive_writer.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "archive/archive_index.h"
#include "base/text_codec.h"
#include "platform/game_files.h"

namespace mokuren::toolkit {

namespace {

void PutU32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string BuildArchive(const std::vector<ArchiveEntry>& entries) {
  if (entries.size() >= ArchiveIndex::kEntries)
    throw std::runtime_error("an archive holds at most 65,535 entries, not " + std::to_string(entries.size()));
  std::string names;
  for (const ArchiveEntry& e : entries) {
    bool ok = true;
    if (e.name.find_first_of("\r\n") != std::string::npos)
      throw std::runtime_error("the entry name \"" + e.name + "\" contains a line break");
    names += Utf16ToCp932(FromUtf8(e.name), &ok) + "\r\n";
    if (!ok) throw std::runtime_error("the entry name \"" + e.name + "\" has characters that CP932 cannot hold");
  }
  names += ":END\r\n";

  std::string out(ArchiveIndex::kMinFileSize, '\0');
  auto add = [&out](size_t index, const std::string& bytes) {
    if (out.size() + bytes.size() > UINT32_MAX) throw std::runtime_error("the archive would be over 4 GiB");
    PutU32(out, ArchiveIndex::kIndexOffset + 8 * index, static_cast<uint32_t>(out.size()));
    PutU32(out, ArchiveIndex::kIndexOffset + 8 * index + 4, static_cast<uint32_t>(bytes.size()));
    out += bytes;
  };
  add(0, names);
  for (size_t i = 0; i < entries.size(); ++i) add(i + 1, entries[i].bytes);
  return out;
}

void WriteArchive(const std::filesystem::path& file, const std::vector<ArchiveEntry>& entries) {
  WriteWholeFile(file, BuildArchive(entries));
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  std::string bytes, error;
  if (!ReadWholeFile(file, bytes, error)) throw std::runtime_error(error);
  return bytes;
}

bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& error) {
  // Opened as the engine opens game files: a named pipe or a device is refused rather than waited on.
  GameFile in;
  std::string problem;
  if (!in.Open(file, problem)) {
    error = "cannot read " + file.string() + ": " + problem;
    return false;
  }
  bytes.resize(in.Size());
  if (!in.ReadAt(0, bytes.data(), bytes.size())) {
    bytes.clear();
    error = "cannot read " + file.string() + ": it ended before its " + ByteCountText(in.Size());
    return false;
  }
  return true;
}

void WriteWholeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::path tmp = file;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + tmp.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + tmp.string());
  }
  std::error_code ec;
  std::filesystem::rename(tmp, file, ec);
  if (ec) throw std::runtime_error("cannot rename " + tmp.string() + " to " + file.string() + ": " + ec.message());
}

}  // namespace mokuren::toolkit
