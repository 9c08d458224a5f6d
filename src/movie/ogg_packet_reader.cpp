#include "movie/ogg_packet_reader.h"

#include <cstring>

namespace mokuren {

namespace {

constexpr long kChunk = 64 * 1024;
constexpr size_t kMaxBeginnings = 32;

}  // namespace

OggPacketReader::OggPacketReader(MovieFileSource source) : source_(std::move(source)) { ogg_sync_init(&sync_); }

OggPacketReader::~OggPacketReader() {
  if (streamReady_) ogg_stream_clear(&stream_);
  ogg_sync_clear(&sync_);
}

void OggPacketReader::Rewind() {
  ogg_sync_reset(&sync_);
  position_ = 0;
  sawEnd_ = false;
}

bool OggPacketReader::NextPage(ogg_page& page) {
  for (;;) {
    // -1 means bytes were skipped to find the next page: damage, which the caller cannot mend either.
    const int r = ogg_sync_pageout(&sync_, &page);
    if (r == 1) return true;
    if (r < 0) continue;
    char* buffer = ogg_sync_buffer(&sync_, kChunk);
    const size_t got = buffer ? source_.read(buffer, position_, static_cast<size_t>(kChunk)) : 0;
    if (got == 0) return false;
    ogg_sync_wrote(&sync_, static_cast<long>(got));
    position_ += static_cast<int64_t>(got);
  }
}

std::vector<OggPacketReader::Beginning> OggPacketReader::Beginnings() {
  Rewind();
  std::vector<Beginning> found;
  ogg_page page;
  while (found.size() < kMaxBeginnings && NextPage(page) && ogg_page_bos(&page)) {
    ogg_stream_state s;
    ogg_stream_init(&s, ogg_page_serialno(&page));
    ogg_packet packet;
    if (ogg_stream_pagein(&s, &page) == 0 && ogg_stream_packetout(&s, &packet) == 1)
      found.push_back({ogg_page_serialno(&page), std::vector<uint8_t>(packet.packet, packet.packet + packet.bytes)});
    ogg_stream_clear(&s);
  }
  return found;
}

void OggPacketReader::Follow(int serial) {
  Rewind();
  if (streamReady_) ogg_stream_clear(&stream_);
  ogg_stream_init(&stream_, serial);
  streamReady_ = true;
  serial_ = serial;
}

bool OggPacketReader::Next(ogg_packet& packet) {
  if (!streamReady_) return false;
  for (;;) {
    // -1 marks a gap (a lost page); the packets after it are still good.
    const int r = ogg_stream_packetout(&stream_, &packet);
    if (r == 1) return true;
    if (r < 0) continue;
    ogg_page page;
    do {
      if (!NextPage(page)) return false;
    } while (ogg_page_serialno(&page) != serial_);
    if (ogg_page_eos(&page)) sawEnd_ = true;
    ogg_stream_pagein(&stream_, &page);
  }
}

}  // namespace mokuren
