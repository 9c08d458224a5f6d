// Cost of the message window: laying out and rendering a full three-line message (once per message)
// and one frame of typing (up to 30 times a second), against copying the bytes of the two text layers;
// adding to the message log and one step back through it. A translated message laid out, drawn into
// the coverage mask and typed character by character, against a Japanese message of the same length
// through the cell layout and the same mask.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_engine.h"
#include "text/message_layout.h"
#include "text/translated_layout.h"

namespace {

using namespace mokuren;

const std::u16string kMessage =
    u"ミナ「①くん、おはよう！　今日から同じクラスだね。ずっと待ってたんだから、遅刻しないでよ？"
    u"帰りは一緒に商店街へ寄って、新しい文房具を見に行こうね。約束だよ」";

// The engine past its start-up, with a message window frame of its full size.
struct Engine : BenchEngine {
  Engine() {
    form->Pictures().SurfaceTable[6].SetSize32(800, 184);
    form->Save().Block->MessageSpeed = 2;
  }
};

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

// Reference: copying the bytes of the text and shadow layers once.
void BM_CopyTextLayers(benchmark::State& state) {
  Engine& e = TheEngine();
  e.form->Text().Kumo_MakeMessage(kMessage);
  const TABitmap& text = e.form->Pictures().SurfaceTable[58];
  const TABitmap& shadow = e.form->Pictures().SurfaceTable[59];
  std::vector<uint8_t> dst(text.ByteSize() + shadow.ByteSize());
  for (auto _ : state) {
    std::memcpy(dst.data(), text.Bits(), text.ByteSize());
    std::memcpy(dst.data() + text.ByteSize(), shadow.Bits(), shadow.ByteSize());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(dst.size()));
}
BENCHMARK(BM_CopyTextLayers);

void BM_LayoutMessage(benchmark::State& state) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    auto lines = LayoutMessage(kMessage, e.form->Text().HeroName, e.form->Text().LineStartForbidden,
                               e.form->Text().LineEndForbidden);
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_LayoutMessage);

// Layout and rendering of a full three-line message with its speaker (glyphs cached after the first).
void BM_MakeMessage(benchmark::State& state) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    e.form->Text().Kumo_MakeMessage(kMessage);
    benchmark::DoNotOptimize(e.form->Pictures().SurfaceTable[58].Bits());
  }
}
BENCHMARK(BM_MakeMessage)->Unit(benchmark::kMicrosecond);

// One frame of typing in the middle of line 2: the window frame and the typed bands on FrameSurface and
// on FloatSurface.
void BM_TypingFrame(benchmark::State& state) {
  Engine& e = TheEngine();
  e.form->Text().Kumo_MakeMessage(kMessage);
  for (auto _ : state) {
    e.form->TaskCode = task::MessageTyping;
    e.form->Text().RevealCount = 35;
    e.form->Text().Kumo_DrawMessage();
    benchmark::DoNotOptimize(e.form->Pictures().FrameSurface.Bits());
  }
}
BENCHMARK(BM_TypingFrame)->Unit(benchmark::kMicrosecond);

// Reference for adding to the log: copying the message text, the least an entry costs.
void BM_CopyMessageText(benchmark::State& state) {
  std::u16string copy;
  for (auto _ : state) {
    copy = kMessage;
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BM_CopyMessageText);

// A passed message added to a full log (the oldest entry drops out), once per message.
void BM_AddMsgLog(benchmark::State& state) {
  Engine& e = TheEngine();
  for (int i = 0; i < MessageLog::kSize; ++i) e.form->Text().Kumo_AddMsgLog(kMessage, -1);
  for (auto _ : state) {
    e.form->Text().Kumo_AddMsgLog(kMessage, -1);
    benchmark::DoNotOptimize(&e.form->Text().MsgLog[1]);
  }
}
BENCHMARK(BM_AddMsgLog);

// One step back through a full log (PageUp): the entry laid out and rendered grey, its voice started.
void BM_MsgLogStep(benchmark::State& state) {
  Engine& e = TheEngine();
  for (int i = 0; i < MessageLog::kSize; ++i) e.form->Text().Kumo_AddMsgLog(kMessage, -1);
  for (auto _ : state) {
    e.form->TaskCode = task::MessageWait;
    e.form->Text().LogView = 1;
    e.form->Text().LogIndex = 1;
    e.form->Text().KeyLogBack = 1;
    e.form->Text().BrowseMsgLog();
    benchmark::DoNotOptimize(e.form->Pictures().SurfaceTable[58].Bits());
  }
  e.form->Text().LogView = 0;
}
BENCHMARK(BM_MsgLogStep)->Unit(benchmark::kMicrosecond);

// The same number of characters as kMessage (78) in English, with its speaker.
const std::u16string kTranslatedSpeaker = u"Mina";
const std::u16string kTranslatedBody = u"“①, good morning! We are in the same class from today. Don't be late, OK?”";
// A translation that fills the three lines, as English usually does.
const std::u16string kLongTranslatedBody =
    u"“①, good morning! We're in the same class from today. I've been waiting for you, so don't be late, okay? "
    u"On the way home, let's stop by the shopping street and look at the new stationery. It's a promise!”";

// Reference: a Japanese message of 78 characters laid out in cells and drawn into the message window's
// coverage mask, then typed: the reveal width of every character, as the typing frames ask for it.
void BM_JapaneseMessageLayOutDrawAndType(benchmark::State& state) {
  Engine& e = TheEngine();
  TextRenderer& fonts = *e.form->Canvas().Fonts;
  CoverageMask mask;
  for (auto _ : state) {
    const MessageLineSet lines = LayoutMessage(kMessage, u"カザミネ", kLineStartForbidden, kLineEndForbidden);
    mask.Reset(kMessageWindowWidth, 184);
    for (size_t n = 0; n < lines.size(); ++n)
      if (!lines[n].empty())
        fonts.DrawCoverage(mask, kMessageTextLeft, kTranslatedLineTops[n], ThroughCp932(lines[n]),
                           FontSpec{FontName::Gothic, kCharacterCell, false});
    int32_t edges = 0;
    const size_t typed = lines[1].size() + lines[2].size() + lines[3].size();
    for (size_t k = 1; k <= typed; ++k) edges += kCharacterCell * static_cast<int32_t>(k) + kMessageTextLeft;
    benchmark::DoNotOptimize(edges);
    benchmark::DoNotOptimize(mask.a.data());
  }
}
BENCHMARK(BM_JapaneseMessageLayOutDrawAndType)->Unit(benchmark::kMicrosecond);

void TranslatedLayOutDrawAndType(benchmark::State& state, const std::u16string& body) {
  static ShapedFont font;
  if (!font.IsOpen()) {
    std::string error;
    if (!font.Open("en", error)) return state.SkipWithError(error.c_str());
  }
  TranslatedLayout layout(font, StyleOf("en"));
  CoverageMask mask;
  for (auto _ : state) {
    const TranslatedMessage m = layout.Message(kTranslatedSpeaker, body, u"カザミネ");
    mask.Reset(kMessageWindowWidth, 184);
    layout.Draw(mask, m.speaker, kTranslatedLineTops[0]);
    for (size_t n = 0; n < m.lines.size(); ++n) layout.Draw(mask, m.lines[n], kTranslatedLineTops[n + 1]);
    int32_t edges = 0;
    for (const TypedLine& line : m.lines)
      for (size_t k = 1; k <= line.Length(); ++k) edges += line.RevealEdge(k);
    benchmark::DoNotOptimize(edges);
    benchmark::DoNotOptimize(mask.a.data());
  }
}

// The same length in English: shaped with kerning, broken at spaces, drawn and typed.
void BM_TranslatedMessageLayOutDrawAndType(benchmark::State& state) {
  TranslatedLayOutDrawAndType(state, kTranslatedBody);
}
BENCHMARK(BM_TranslatedMessageLayOutDrawAndType)->Unit(benchmark::kMicrosecond);

// Three full lines of English (208 characters), for scale.
void BM_TranslatedThreeLinesLayOutDrawAndType(benchmark::State& state) {
  TranslatedLayOutDrawAndType(state, kLongTranslatedBody);
}
BENCHMARK(BM_TranslatedThreeLinesLayOutDrawAndType)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
