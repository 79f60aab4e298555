#include "matching/name_similarity.hpp"

#include <gtest/gtest.h>

#include "base/text.hpp"

namespace ledra {
namespace {

struct FoldCase {
  const char* name;
  const char* source;
  const char* folded;
};

TEST(FoldForMatching, UnifiesWidthsKanaAndDropsBlanksAndSymbols) {
  const FoldCase cases[] = {
      {"half-width katakana with voiced marks", "ｹﾞﾝｷﾝ", "ゲンキン"},
      {"half-width semi-voiced and ヴ", "ﾊﾟｰﾄｳﾞｧ", "パートヴァ"},
      {"a mark after a kana without a voiced form is dropped", "ｱﾞﾝ", "アン"},
      {"every half-width katakana", "ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ",
       "ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメ"
       "モヤユヨラリルレロワン"},
      {"ヂ and ヅ around the small ッ", "ﾁﾞﾂﾞﾃﾞ", "ヂヅデ"},
      {"hiragana to katakana", "みずほ", "ミズホ"},
      {"full-width letters and digits, upper-cased", "ＥＴＣｃａｒｄ１", "ETCCARD1"},
      {"blanks of both widths", " 現　金 ", "現金"},
      {"symbols and the middle dot", "水道・光熱費、他。", "水道光熱費他"},
      {"brackets of every width become parentheses", "預金（Ａ）【Ｂ】[c]", "預金(A)(B)(C)"},
      {"々 and ー stay", "諸々ー", "諸々ー"},
  };
  for (const FoldCase& c : cases) EXPECT_EQ(fromU32(foldForMatching(c.source)), c.folded) << c.name;
}

struct PairCase {
  const char* a;
  const char* b;
  float atLeast;
  float below;
};

TEST(NameSimilarity, ScoresPairsABookkeeperWouldRecognise) {
  const PairCase cases[] = {
      {"ｹﾞﾝｷﾝ", "ゲンキン", 1.0f, 1.01f},
      {"ｹﾞﾝｷﾝ", "現金", 0.0f, 0.01f},
      {"現 金", "現金", 1.0f, 1.01f},
      {"げんきん", "ｹﾞﾝｷﾝ", 1.0f, 1.01f},
      {"普通預金（みずほ）", "普通預金", 0.85f, 1.0f},
      {"普通預金口座", "普通預金", 0.85f, 1.0f},
      {"株式会社みなと", "みなと", 0.8f, 1.0f},
      {"売掛金（得意先）", "売掛金", 0.85f, 1.0f},
      {"売掛金", "未収入金", 0.0f, 0.3f},
      {"短期借入金", "長期借入金", 0.5f, 0.8f},
      {"未払法人税", "未払法人税等", 0.5f, 0.8f},
      {"", "現金", 0.0f, 0.01f},
  };
  for (const PairCase& c : cases) {
    const float score = nameSimilarity(c.a, c.b);
    EXPECT_GE(score, c.atLeast) << c.a << " / " << c.b;
    EXPECT_LT(score, c.below) << c.a << " / " << c.b;
    EXPECT_FLOAT_EQ(score, nameSimilarity(c.b, c.a)) << c.a << " / " << c.b;
  }
  EXPECT_LT(nameSimilarity("売掛金", "未収入金"), nameSimilarity("売掛金", "売掛金（得意先）"));
}

TEST(SplitName, SetsRemarksAndCompanyFormsApart) {
  const FoldedName n = splitName("株式会社みなと（本店）口座");
  EXPECT_EQ(fromU32(n.core), "ミナト");
  ASSERT_EQ(n.affixes.size(), 3u);
  EXPECT_EQ(fromU32(n.affixes[0]), "本店");
  // A name that is all remark keeps it as its core.
  EXPECT_EQ(fromU32(splitName("（株）").core), "株");
  // A remark never closed runs to the end.
  EXPECT_EQ(fromU32(splitName("現金（本店").core), "現金");
}

}  // namespace
}  // namespace ledra
