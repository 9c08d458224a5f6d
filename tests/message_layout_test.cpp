// Line breaking of the message window and splitting of choices.
#include <gtest/gtest.h>

#include <string>

#include "text/message_layout.h"

namespace mokuren {
namespace {

const std::u16string kStart = u"、。，．：；！？ーぁぃぅぇぉっゃゅょんァィゥェォッャュョンヵヶ）」』】";
const std::u16string kEnd = u"（「『【";

MessageLineSet Layout(std::u16string_view text, std::u16string_view hero = u"カザミネ") {
  return LayoutMessage(text, hero, kStart, kEnd);
}

std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

TEST(MessageLayout, HeroNameAndSpeaker) {
  auto l = Layout(u"①さん「こんにちは」");
  EXPECT_EQ(l[0], u"カザミネさん");
  EXPECT_EQ(l[1], u"「こんにちは」");
  EXPECT_EQ(l[2], u"");
  // The name is substituted wherever it stands, also inside the speech.
  l = Layout(u"「①、待って」", u"ユウ");
  EXPECT_EQ(l[0], u"");
  EXPECT_EQ(l[1], u"「ユウ、待って」");
  // Only the first "「" splits off a speaker.
  l = Layout(u"彼「あ「い」");
  EXPECT_EQ(l[0], u"彼");
  EXPECT_EQ(l[1], u"「あ「い」");
  // Narration has no speaker and no indent.
  l = Layout(Repeat(u'あ', 30));
  EXPECT_EQ(l[0], u"");
  EXPECT_EQ(l[1], Repeat(u'あ', 25));
  EXPECT_EQ(l[2], Repeat(u'あ', 5));
}

TEST(MessageLayout, TwentyFifthCharacterThatMayNotEndALineMovesDown) {
  // Inside speech (the first "「" splits off the speaker, so the 25th is a later one).
  auto l = Layout(u"「" + Repeat(u'あ', 23) + u"「いう」」");
  EXPECT_EQ(l[1], u"「" + Repeat(u'あ', 23));
  EXPECT_EQ(l[2], u"　「いう」」");
  // In narration, with "『".
  l = Layout(Repeat(u'あ', 24) + u"『いう』");
  EXPECT_EQ(l[1], Repeat(u'あ', 24));
  EXPECT_EQ(l[2], u"『いう』");
  // The same character at position 24 stays.
  l = Layout(Repeat(u'あ', 23) + u"『いう』");
  EXPECT_EQ(l[1], Repeat(u'あ', 23) + u"『い");
}

TEST(MessageLayout, OneForbiddenLineStartHangs) {
  auto l = Layout(Repeat(u'あ', 25) + u"。いう");
  EXPECT_EQ(l[1], Repeat(u'あ', 25) + u"。");
  EXPECT_EQ(l[1].size(), 26u);
  EXPECT_EQ(l[2], u"いう");
  // "」。" after a full line: only "」" hangs.
  l = Layout(Repeat(u'あ', 25) + u"」。え");
  EXPECT_EQ(l[1], Repeat(u'あ', 25) + u"」");
  EXPECT_EQ(l[2], u"。え");
  // Small kana and the syllabic n are forbidden too; the ellipsis is not.
  l = Layout(Repeat(u'あ', 25) + u"ん");
  EXPECT_EQ(l[1].size(), 26u);
  l = Layout(Repeat(u'あ', 25) + u"…");
  EXPECT_EQ(l[1].size(), 25u);
  EXPECT_EQ(l[2], u"…");
}

TEST(MessageLayout, SlashBreaksAndIsNotShown) {
  auto l = Layout(u"あい/うえお");
  EXPECT_EQ(l[1], u"あい");
  EXPECT_EQ(l[2], u"うえお");
  // No hanging after a forced break.
  l = Layout(u"あい/。う");
  EXPECT_EQ(l[1], u"あい");
  EXPECT_EQ(l[2], u"。う");
  // A trailing slash leaves no further line.
  l = Layout(u"あい/");
  EXPECT_EQ(l[1], u"あい");
  EXPECT_EQ(l[2], u"");
  // A slash right after 25 characters gives an empty second line.
  l = Layout(Repeat(u'あ', 25) + u"/い");
  EXPECT_EQ(l[1], Repeat(u'あ', 25));
  EXPECT_EQ(l[2], u"");
  EXPECT_EQ(l[3], u"い");
}

TEST(MessageLayout, SpeechContinuationIsIndented) {
  // 24 characters after the opening bracket: line 1 is full, the rest is indented and the indent
  // counts toward the 25.
  auto l = Layout(u"ミナ「" + Repeat(u'あ', 30) + u"」");
  EXPECT_EQ(l[0], u"ミナ");
  EXPECT_EQ(l[1], u"「" + Repeat(u'あ', 24));
  EXPECT_EQ(l[2], u"　" + Repeat(u'あ', 6) + u"」");
  l = Layout(u"「あ/い/う」");
  EXPECT_EQ(l[1], u"「あ");
  EXPECT_EQ(l[2], u"　い");
  EXPECT_EQ(l[3], u"　う」");
}

TEST(MessageLayout, AFourthLineIsDropped) {
  auto l = Layout(u"一/二/三/四");
  EXPECT_EQ(l[1], u"一");
  EXPECT_EQ(l[2], u"二");
  EXPECT_EQ(l[3], u"三");
  l = Layout(Repeat(u'あ', 100));
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(l[n], Repeat(u'あ', 25));
  // What is dropped is given back; a break or a hanging character at the end of the third line is not dropped.
  std::u16string dropped = u"?";
  LayoutMessage(u"一/二/三/四", u"", kLineStartForbidden, kLineEndForbidden, &dropped);
  EXPECT_EQ(dropped, u"四");
  LayoutMessage(u"一/二/三/", u"", kLineStartForbidden, kLineEndForbidden, &dropped);
  EXPECT_EQ(dropped, u"");
  LayoutMessage(Repeat(u'あ', 75) + u"。", u"", kLineStartForbidden, kLineEndForbidden, &dropped);
  EXPECT_EQ(dropped, u"");
}

TEST(MessageLayout, DegenerateTexts) {
  auto l = Layout(u"");
  for (auto& line : l) EXPECT_TRUE(line.empty());
  l = Layout(u"「");
  EXPECT_EQ(l[1], u"「");
  l = Layout(u"///////");
  for (auto& line : l) EXPECT_TRUE(line.empty());
  // A hero name long enough to overflow everything is cut like any other text.
  l = Layout(u"①①①①", Repeat(u'ナ', 40));
  EXPECT_EQ(l[3], Repeat(u'ナ', 25));
}

TEST(ChoiceLayout, SplitAtCommas) {
  auto c = SplitChoices(u"はい,いいえ");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0], u"はい");
  EXPECT_EQ(c[1], u"いいえ");
  c = SplitChoices(u"");
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0], u"");
  // A trailing comma ends the text: no empty choice after it.
  EXPECT_EQ(SplitChoices(u"あ,").size(), 1u);
  // Empty choices between commas count.
  EXPECT_EQ(SplitChoices(u",,a").size(), 3u);
  // At most nine.
  EXPECT_EQ(SplitChoices(u"1,2,3,4,5,6,7,8,9,10,11").size(), 9u);
  // Longer than 31: cut, the rest becomes the next choice.
  c = SplitChoices(Repeat(u'あ', 40));
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].size(), 31u);
  EXPECT_EQ(c[1].size(), 9u);
}

TEST(ChoiceLayout, BandsInUse) {
  EXPECT_EQ(ChoiceTop(1), 280);
  EXPECT_EQ(ChoiceTop(2), 220);
  EXPECT_EQ(ChoiceTop(9), 40);
  // はい,いいえ: lines at 220 and 280; y = 300 is choice 2.
  EXPECT_EQ(ChoiceAt(2, 300), 2);
  EXPECT_EQ(ChoiceAt(2, 220), 1);
  EXPECT_EQ(ChoiceAt(2, 259), 1);
  EXPECT_EQ(ChoiceAt(2, 260), 0);  // between bands
  // Three choices use bands 4-6: band 3 (rows 160-199) is none of them.
  EXPECT_EQ(ChoiceAt(3, 180), 0);
  EXPECT_EQ(ChoiceAt(3, 340), 3);
  // Between bands 1 and 2, above the first and below the last.
  EXPECT_EQ(ChoiceAt(9, 80), 0);
  EXPECT_EQ(ChoiceAt(9, 39), 0);
  EXPECT_EQ(ChoiceAt(9, 559), 9);
  EXPECT_EQ(ChoiceAt(9, 560), 0);
  EXPECT_EQ(ChoiceAt(9, 600), 0);
  EXPECT_EQ(ChoiceAt(1, 300), 1);
  EXPECT_EQ(ChoiceAt(0, 300), 0);
}

}  // namespace
}  // namespace mokuren
