#include "art_lettering.h"

#include <map>
#include <utility>
#include <vector>

#include "base/text_codec.h"

namespace mokuren::demo {

namespace {

// The pictures' words in English and Russian, by their Japanese original (the theme's track and scene
// names among them).
const std::map<std::u16string_view, std::pair<std::u16string_view, std::u16string_view>>& Words() {
  static const std::map<std::u16string_view, std::pair<std::u16string_view, std::u16string_view>> words = {
      // The title screen.
      {u"木蓮", {u"Magnolia", u"Магнолия"}},
      {u"はじめから", {u"New game", u"Новая игра"}},
      {u"つづきから", {u"Continue", u"Продолжить"}},
      {u"アルバム", {u"Album", u"Альбом"}},
      {u"ムービー省略", {u"Skip movie", u"Без заставки"}},
      {u"ゲーム終了", {u"Quit", u"Выход"}},
      {u"ＯＮ", {u"ON", u"ВКЛ"}},
      {u"ＯＦＦ", {u"OFF", u"ВЫКЛ"}},
      // The name's reading and the screens' English headings say nothing more in a translation.
      {u"― もくれん ―", {u"", u""}},
      {u"ALBUM", {u"", u"ALBUM"}},
      {u"MUSIC", {u"", u"MUSIC"}},
      {u"EVENT PICTURES", {u"", u"EVENT PICTURES"}},
      {u"EVENT SCENES", {u"", u"EVENT SCENES"}},
      {u"SAVE", {u"", u"SAVE"}},
      {u"LOAD", {u"", u"LOAD"}},
      // The album.
      {u"イベントＣＧ", {u"Pictures", u"Картины"}},
      {u"イベントシーン", {u"Scenes", u"Сцены"}},
      {u"音楽鑑賞", {u"Music", u"Музыка"}},
      {u"オープニングムービー", {u"Opening movie", u"Заставка"}},
      {u"タイトルに戻る", {u"Back to title", u"В главное меню"}},
      {u"見た絵と場面、聴いた曲を、いつでも。",
       {u"The pictures, scenes and songs you've met, any time.",
        u"Картины, сцены и песни, что вы уже видели и слышали."}},
      {u"戻る", {u"Back", u"Назад"}},
      {u"同じ曲をもう一度選ぶと、もうひとつのアレンジ（１〜７）",
       {u"Choose a song again for its other arrangement (1–7).",
        u"Выберите песню ещё раз — другая аранжировка (1–7)."}},
      {u"08 の段は、選ぶと 08、もう一度で 09（タイトルの曲）。♪が今の曲です。",
       {u"Row 08 plays 08, then 09 (the title theme). ♪ marks the song playing.",
        u"Строка 08: сначала 08, потом 09 (тема заставки). ♪ — то, что звучит."}},
      {u"クリックで拡大、", {u"Click to enlarge,", u"Щёлкните, чтобы увеличить,"}},
      {u"もう一度で次の差分へ", {u"again for the next look", u"ещё раз — следующий вариант"}},
      {u"選んだ順に番号が付き、", {u"Scenes are numbered as chosen;", u"Сцены нумеруются по выбору;"}},
      {u"番号をもう一度で再生", {u"choose a number again to play", u"номер ещё раз — воспроизвести"}},
      {u"ページ", {u"Page", u"Стр."}},
      {u"まだ見ていないものには", {u"What you have not seen", u"То, чего вы ещё не видели,"}},
      {u"鍵がかかっています。", {u"stays locked.", u"пока закрыто."}},
      {u"体験版には未収録", {u"Not in the demo", u"Нет в демоверсии"}},
      {u"NO IMAGE", {u"NO IMAGE", u"НЕТ КАРТИНКИ"}},
      {u"LOCKED", {u"LOCKED", u"ЗАКРЫТО"}},
      {u"01 朝の通学路", {u"01 The way to school", u"01 Дорога в школу"}},
      {u"02 学園の日々", {u"02 School days", u"02 Школьные дни"}},
      {u"03 静かな夕暮れ", {u"03 Quiet dusk", u"03 Тихие сумерки"}},
      {u"04 胸さわぎ", {u"04 A stir in the heart", u"04 Тревога"}},
      {u"05 お祭りの夜", {u"05 Festival night", u"05 Ночь праздника"}},
      {u"06 雨音", {u"06 Sound of rain", u"06 Шум дождя"}},
      {u"07 告白", {u"07 Confession", u"07 Признание"}},
      {u"08 張りつめた空", {u"08 Taut sky", u"08 Натянутое небо"}},
      {u"09 木蓮 〜メインテーマ〜", {u"09 Magnolia (main theme)", u"09 Магнолия (главная тема)"}},
      {u"10 また明日", {u"10 See you tomorrow", u"10 До завтра"}},
      {u"朝の迎え", {u"Morning call", u"Утро у дверей"}},
      {u"放課後の約束", {u"After-school promise", u"Уговор после уроков"}},
      {u"雨の帰り道", {u"Home in the rain", u"Домой под дождём"}},
      // The save and load screens.
      {u"セーブ", {u"Save", u"Сохранить"}},
      {u"ロード", {u"Load", u"Загрузить"}},
      {u"左クリック：セーブ", {u"Left click: save", u"Левый щелчок: сохранить"}},
      {u"右クリック：コメント", {u"Right click: comment", u"Правый щелчок: заметка"}},
      {u"左クリック：ロード", {u"Left click: load", u"Левый щелчок: загрузить"}},
      {u"NEW = 最新のセーブ", {u"NEW = the latest save", u"NEW = последнее сохранение"}},
      {u" クイック", {u" Quick", u" Быстрое"}},
      {u"NO DATA", {u"NO DATA", u"ПУСТО"}},
  };
  return words;
}

}  // namespace

Lettering::Lettering(std::string language) : language_(std::move(language)) {}

bool Lettering::Open(std::string& error) {
  if (language_ == "ja") return japanese_.Open(error);
  shaped_ = std::make_unique<ShapedFont>();
  if (shaped_->Open(language_, error)) return true;
  shaped_.reset();
  return false;
}

std::u16string Lettering::Word(std::u16string_view japanese) const {
  if (language_ == "ja") return std::u16string(japanese);
  // The music room's row that plays two tracks names both: "08 … → 09 …".
  constexpr std::u16string_view kThen = u" → ";
  if (const size_t then = japanese.find(kThen); then != std::u16string_view::npos)
    return Word(japanese.substr(0, then)) + std::u16string(kThen) + Word(japanese.substr(then + kThen.size()));
  const auto it = Words().find(japanese);
  if (it == Words().end()) return std::u16string(japanese);
  return std::u16string(language_ == "ru" ? it->second.second : it->second.first);
}

int32_t Lettering::TextOut(TABitmap& s, int32_t x, int32_t y, std::u16string_view original, const FontSpec& font,
                           Rgb ink) {
  if (!shaped_) return japanese_.TextOut(s, x, y, original, font, ink);
  const int32_t size = PixelSize(font);
  std::vector<ShapedGlyph> glyphs;
  shaped_->Shape(ToCodePoints(Word(original)), size, glyphs);
  CoverageMask mask;
  const int32_t width = glyphs.empty() ? 0 : (glyphs.back().pen + glyphs.back().advance) / 64;
  mask.Reset(width + size, font.height + font.height / 2);
  const int32_t baseline = shaped_->Baseline(size, font.height);
  for (const ShapedGlyph& g : glyphs)
    if (const Glyph* r = shaped_->Raster(g.face, g.glyph, size)) {
      BlendCoverage(mask, *r, (g.pen + g.dx) / 64 + r->left, baseline - g.dy / 64 - r->top);
      // A bold face is drawn twice, a pixel apart, as the pictures' Japanese bold is heavier too.
      if (font.bold) BlendCoverage(mask, *r, (g.pen + g.dx) / 64 + r->left + 1, baseline - g.dy / 64 - r->top);
    }
  BlendMaskInto(s, mask, x, y, ink);
  return x + width + (font.bold ? 1 : 0);
}

int32_t Lettering::TextWidth(std::u16string_view original, const FontSpec& font) {
  if (!shaped_) return japanese_.TextWidth(original, font);
  std::vector<ShapedGlyph> glyphs;
  shaped_->Shape(ToCodePoints(Word(original)), PixelSize(font), glyphs);
  return (glyphs.empty() ? 0 : (glyphs.back().pen + glyphs.back().advance) / 64) + (font.bold ? 1 : 0);
}

}  // namespace mokuren::demo
