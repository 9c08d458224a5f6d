#include "menus/album_tables.h"

#include <initializer_list>

#include "base/save_block.h"

namespace mokuren::album {

namespace {

// One slot's pictures, padded with kNone.
constexpr std::array<int16_t, kMaxVariants> V(std::initializer_list<int16_t> entries) {
  std::array<int16_t, kMaxVariants> slot{};
  slot.fill(kNone);
  size_t i = 0;
  for (int16_t e : entries) slot[i++] = e;
  return slot;
}

constexpr EventSceneList MakeSceneList() {
  EventSceneList list{};
  list.fill(kNone);
  // Scenes run in script order, except that the last page's first slots come back to 193-198 and 192
  // closes the page.
  for (int i = 0; i <= 90; ++i) list[static_cast<size_t>(i)] = static_cast<int16_t>(101 + i);
  for (int i = 91; i <= 96; ++i) list[static_cast<size_t>(i)] = static_cast<int16_t>(193 + i - 91);
  list[97] = 192;
  return list;
}

}  // namespace

// Declared extern in the header, so these constant tables are the program's one copy.
constexpr EventPictureTable kStandardCgTable = {{
    {{V({371, 372}), V({407, 408}), V({387, 388}), V({351, 352}), V({375, 376}), V({363, 364}), V({379, 380}),
      V({439, 440}), V({391, 392}), V({411, 412})}},
    {{V({443, 444}), V({367, 368}), V({435, 436}), V({395}), V({531, 532, 533}), V({600, 601, 602}), V({551, 552, 553}),
      V({539, 540, 541}), V({415, 416}), V({451, 452})}},
    {{V({455, 456}), V({355, 356}), V({383, 384}), V({399, 400}), V({403, 404}), V({583, 584, 585}), V({620, 621}),
      V({563, 564, 565}), V({639, 640}), V({559, 560})}},
    {{V({555, 556, 557}), V({612, 613, 614}), V({423, 424, 425}), V({659, 660, 661}), V({459, 460}), V({463, 464}),
      V({447, 448}), V({675, 676}), V({679, 680, 681}), V({616, 617})}},
    {{V({359, 360}), V({527, 528}), V({635, 636, 637}), V({503, 504}), V({683, 684}), V({567, 568, 569}),
      V({515, 516, 517}), V({631, 632, 633}), V({591, 592, 593, 594}), V({519, 520})}},
    {{V({571, 572}), V({507, 508}), V({535, 536, 537}), V({701, 702, 703, 704}), V({495, 496}), V({499, 500}),
      V({475, 476, 477}), V({487, 488}), V({483, 484, 485}), V({479, 480})}},
    {{V({663, 664, 665}), V({419, 420}), V({587, 588, 589}), V({431, 432}), V({491, 492}), V({511, 512, 513}),
      V({543, 544, 545}), V({651, 652, 653}), V({671, 672, 673}), V({467, 468})}},
    {{V({471, 472}), V({687, 688, 689, 690}), V({667, 668, 669}), V({427, 428, 429}), V({608, 609, 610}), V({734, 735}),
      V({730, 731}), V({726, 727}), V({722, 723}), V({718, 719})}},
    {{V({714, 715}), V({742, 743}), V({706, 707}), V({738, 739, 740}), V({746, 747}), V({523, 524, 525}),
      V({579, 580, 581}), V({575, 576, 577}), V({596, 597, 598}), V({624, 625, 626, 627, 628, 629})}},
    {{V({604, 605, 606}), V({547, 548, 549}), V({643, 644, 645}), V({647, 648, 649}), V({710, 711, 712}),
      V({693, 694, 695}), V({655, 656, 657}), V({697, 698, 699}), V({}), V({})}},
}};

constexpr EventSceneList kStandardSceneList = MakeSceneList();

// Every picture is one whose seen flag the engine keeps.
static_assert([] {
  for (const auto& page : kStandardCgTable)
    for (const auto& slot : page)
      for (int16_t e : slot)
        if (e != kNone && (e < kCgSeenFirst || e >= kCgSeenFirst + kCgSeenCount)) return false;
  return true;
}());
// Every scene's unlock flag lies in the range the debug window's album buttons set (S201-S300).
static_assert([] {
  for (int16_t s : kStandardSceneList)
    if (s != kNone && (SceneUnlockVar(s) < 201 || SceneUnlockVar(s) > 300)) return false;
  return true;
}());

}  // namespace mokuren::album
