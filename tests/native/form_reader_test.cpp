// The form file's reading primitives, one case table per primitive.
#include <gtest/gtest.h>

#include "form/form_reader.h"

namespace qs {
namespace {

std::vector<std::u16string> AllLines(std::u16string_view text) {
  FormReader reader(text);
  std::vector<std::u16string> lines;
  while (auto line = reader.ReadLine()) lines.emplace_back(*line);
  return lines;
}

TEST(FormReader, ReadLine) {
  using Lines = std::vector<std::u16string>;
  struct Case {
    const char* rule;
    std::u16string text;
    Lines lines;
  } cases[] = {
      {"CR cuts, the LF is trimmed away", u"a b\r\nc\r\n", {u"a b", u"c", u""}},
      {"no CR: one single line, given once", u"x y z", {u"x y z"}},
      {"white space of both ends trimmed", u"  a\t\r\n\u3000b\u00A0\r", {u"a", u"b", u""}},
      {"a one-unit first line is skipped with the empty lines after it", u"\uFEFF\r\n\r\n  \r\nwin\r\nx",
       {u"win", u"x"}},
      {"a one-unit white space first line is an ordinary line", u" \r\nwin", {u"", u"win"}},
      {"a one-unit line later is ordinary", u"ab\r\nc\r\nd", {u"ab", u"c", u"d"}},
      {"a two-unit first line is ordinary", u"ab\r\n\r\nc", {u"ab", u"", u"c"}},
      {"a lone LF does not cut", u"a\nb\r\nc", {u"a\nb", u"c"}},
      {"empty text: one empty line", u"", {u""}},
  };
  for (const Case& c : cases) EXPECT_EQ(AllLines(c.text), c.lines) << c.rule;
}

TEST(FormReader, EndOfTextIsReportedInsteadOfTheLastLineForever) {
  FormReader reader(u"ab\r\nlast");
  EXPECT_EQ(*reader.ReadLine(), u"ab");
  EXPECT_EQ(reader.lineNumber(), 1);
  EXPECT_EQ(*reader.ReadLine(), u"last");
  EXPECT_FALSE(reader.ReadLine());
  EXPECT_FALSE(reader.ReadLine());
  EXPECT_TRUE(reader.atEnd());
}

TEST(FormReader, FormTextStopsAtTheFirstZeroUnit) {
  const char bytes[] = {'a', 0, 'b', 0, 0, 0, 'c', 0, 'd'};
  EXPECT_EQ(FormTextFromBytes(std::string_view(bytes, sizeof bytes)), u"ab");
  EXPECT_EQ(FormTextFromBytes(std::string_view(bytes, 3)), u"a");  // an odd last byte is dropped
}

TEST(FormReader, NextToken) {
  struct Case {
    const char* rule;
    std::u16string line, token, rest;
  } cases[] = {
      {"space separates", u"ab cd ef", u"ab", u"cd ef"},
      {"leading white space trimmed first", u"  ab cd", u"ab", u"cd"},
      {"a comma before a later space separates", u"10,20 30", u"10", u"20 30"},
      {"a comma without a later space does not", u"10,20", u"10,20", u"10,20"},
      {"a comma after the space does not", u"10 20,30", u"10", u"20,30"},
      {"no space: the whole line, the line stays", u"last", u"last", u"last"},
      {"two spaces: the second stays", u"a  b", u"a", u" b"},
      {"a tab is no separator", u"a\tb c", u"a\tb", u"c"},
  };
  for (const Case& c : cases) {
    std::u16string_view line = c.line;
    EXPECT_EQ(FormReader::NextToken(line), c.token) << c.rule;
    EXPECT_EQ(line, c.rest) << c.rule;
  }
}

TEST(FormReader, ReadNumber) {
  struct Case {
    std::u16string token;
    std::int32_t value;
  } cases[] = {
      {u"4294967295", 2147483647}, {u"2147483647", 2147483647}, {u"2147483648", 2147483647},
      {u"-1", -1},                 {u"-2147483648", INT32_MIN}, {u"-99999999999", INT32_MIN},
      {u"12px", 12},               {u"px", 0},                  {u"+7", 7},
      {u"- 7", 0},                 {u"", 0},                    {u"0x10", 0},
      {u"\u300042", 42},
  };
  FormReader reader(u"");
  for (const Case& c : cases) {
    std::u16string_view line = c.token;
    EXPECT_EQ(reader.ReadNumber(line), c.value);
  }
}

TEST(FormReader, ReadQuoted) {
  struct Case {
    const char* rule;
    std::u16string line, value, rest;
  } cases[] = {
      {"plain", u"\"用户名:\" 10 10", u"用户名:", u" 10 10"},
      {"escaped quote and backslash", u"\"a\\\"b\\\\c\" x", u"a\"b\\c", u" x"},
      {"ends at the first unescaped quote", u"\"a\"b\" x", u"a", u"b\" x"},
      {"another backslash is taken literally", u"\"C:\\dir\\n\"", u"C:\\dir\\n", u""},
      {"unquoted: empty, one unit lost", u"abc 1", u"", u"bc 1"},
      {"a leading space is not skipped", u" \"x\" 1", u"", u"\"x\" 1"},
      {"unterminated: to the end of the line", u"\"open 1 2", u"open 1 2", u""},
      {"empty", u"\"\" 5", u"", u" 5"},
  };
  FormReader reader(u"");
  for (const Case& c : cases) {
    std::u16string_view line = c.line;
    EXPECT_EQ(reader.ReadQuoted(line), c.value) << c.rule;
    EXPECT_EQ(line, c.rest) << c.rule;
  }
}

TEST(FormReader, ReadQuotedCutsAt518Units) {
  const std::u16string long1000(1000, u'x');
  std::u16string line = u"\"" + long1000 + u"\" 7";
  std::u16string_view view = line;
  Findings findings;
  FormReader reader(u"", &findings);
  EXPECT_EQ(reader.ReadQuoted(view), std::u16string(518, u'x'));
  EXPECT_EQ(view, u" 7");  // the rest of the line is still in step
  ASSERT_EQ(findings.size(), 1u);
}

TEST(FormReader, ReadItemList) {
  using Items = std::vector<std::u16string>;
  struct Case {
    const char* rule;
    std::u16string line;
    Items items;
    std::u16string rest;
  } cases[] = {
      {"items end with a bar", u"\"北京|上海|\" 10", {u"北京", u"上海"}, u" 10"},
      {"an item without a closing bar is lost", u"\"一|二|三\" 1", {u"一", u"二"}, u" 1"},
      {"with the bar it counts", u"\"一|二|三|\"", {u"一", u"二", u"三"}, u""},
      {"two bars give no empty item", u"\"a||b|\"", {u"a", u"b"}, u""},
      {"escaped bar, quote and backslash", u"\"a\\|b|c\\\"d\\\\|\"", {u"a|b", u"c\"d\\"}, u""},
      {"leading white space is trimmed", u"  \"a|\" z", {u"a"}, u" z"},
      {"unquoted: no items, one unit lost", u"a|b| 1", {}, u"|b| 1"},
      {"unterminated: the closed items stay", u"\"a|b", {u"a"}, u""},
  };
  FormReader reader(u"");
  for (const Case& c : cases) {
    std::u16string_view line = c.line;
    EXPECT_EQ(reader.ReadItemList(line), c.items) << c.rule;
    EXPECT_EQ(line, c.rest) << c.rule;
  }
}

TEST(FormReader, ItemsAreCutAt258Units) {
  std::u16string line = u"\"" + std::u16string(300, u'y') + u"|z|\"";
  std::u16string_view view = line;
  FormReader reader(u"");
  const auto items = reader.ReadItemList(view);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], std::u16string(258, u'y'));
  EXPECT_EQ(items[1], u"z");
}

}  // namespace
}  // namespace qs
