#include "model/CStringTokenizer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Token {
    int32_t type;
    std::string text;
};

std::vector<Token> Tokens(CStringTokenizer& t)
{
    std::vector<Token> out;
    for (int guard = 0; guard < 100; ++guard) {
        const int32_t type = t.NextToken();
        const CString text = t.TokenText();
        out.push_back({type, std::string(text.GetString(), static_cast<size_t>(text.GetLength()))});
        if (type == CStringTokenizer::TT_EOF) break;
    }
    return out;
}

std::vector<Token> Tokens(const std::string& text)
{
    CStringTokenizer t(text.data(), static_cast<int32_t>(text.size()));
    return Tokens(t);
}

const int32_t W = CStringTokenizer::TT_WORD;
const int32_t E = CStringTokenizer::TT_EOF;

TEST(CStringTokenizer, CommandTexts)
{
    const struct {
        std::string text;
        std::vector<Token> tokens;
    } cases[] = {
        {"10 8E 26", {{W, "10"}, {W, "8E"}, {W, "26"}, {E, "EOF"}}},
        {"10,8E", {{W, "10,8E"}, {E, "EOF"}}},
        {"", {{E, "EOF"}}},
        {" \t\r\n \r\n", {{E, "EOF"}}},
        {"-1.5 /x {y} //z /*w*/", {{W, "-1.5"}, {W, "/x"}, {W, "{y}"}, {W, "//z"}, {W, "/*w*/"}, {E, "EOF"}}},
        {"'ab c'", {{'\'', "ab c"}, {E, "EOF"}}},
        {"\"ab c\"", {{'"', "ab c"}, {E, "EOF"}}},
        {"\"x\\ty\\101\"", {{'"', "x\ty" "A"}, {E, "EOF"}}},
        {"'\\a\\b\\f\\n\\r\\v\\q\\'\\0'", {{'\'', std::string("\a\b\f\n\r\vq'") + '\0'}, {E, "EOF"}}},
        {"\"\\1234\"", {{'"', "S4"}, {E, "EOF"}}},  // at most three octal digits
        {"\"abc\nrest", {{'"', "abc"}, {W, "rest"}, {E, "EOF"}}},
        {"\"abc\r\nrest", {{'"', "abc"}, {W, "rest"}, {E, "EOF"}}},
        {"\"abc", {{'"', "abc"}, {E, "EOF"}}},
        {"\"abc\\", {{'"', "abc"}, {E, "EOF"}}},
        {"ab\"cd\"ef", {{W, "ab"}, {'"', "cd"}, {W, "ef"}, {E, "EOF"}}},
        {"\"\"", {{'"', ""}, {E, "EOF"}}},
        {"a\xff" "b", {{W, "a"}, {E, "EOF"}}},  // the end mark ends the text
        {std::string("a\0b", 3), {{W, "a"}, {W, "b"}, {E, "EOF"}}},
        {"\xe9t\xe9", {{W, "\xe9t\xe9"}, {E, "EOF"}}},
    };
    for (const auto& c : cases) {
        const std::vector<Token> got = Tokens(c.text);
        ASSERT_EQ(c.tokens.size(), got.size()) << c.text;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(c.tokens[i].type, got[i].type) << c.text << " token " << i;
            EXPECT_EQ(c.tokens[i].text, got[i].text) << c.text << " token " << i;
        }
    }
}

TEST(CStringTokenizer, EndIsSticky)
{
    CStringTokenizer t("x");
    EXPECT_EQ(W, t.NextToken());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(E, t.NextToken());
    EXPECT_EQ(2, t.GetPosition());
}

TEST(CStringTokenizer, PushBackRepeatsTheTokenInPlace)
{
    CStringTokenizer t("abc 'q r' def");
    t.PushBack();  // nothing read yet: no effect
    EXPECT_EQ(W, t.NextToken());
    EXPECT_EQ('\'', t.NextToken());
    const int32_t position = t.GetPosition();
    t.PushBack();
    EXPECT_EQ('\'', t.NextToken());
    EXPECT_STREQ("q r", t.TokenText());
    EXPECT_EQ(position, t.GetPosition());
    EXPECT_EQ(W, t.NextToken());
    EXPECT_STREQ("def", t.TokenText());
}

TEST(CStringTokenizer, GetNextTokenStopsAtTheEnd)
{
    CStringTokenizer t("10 \"a b\" 8E");
    CString text;
    std::vector<std::string> words;
    while (GetNextToken(t, text)) words.push_back(std::string(text));
    EXPECT_EQ((std::vector<std::string>{"10", "a b", "8E"}), words);
    EXPECT_FALSE(GetNextToken(t, text));
    EXPECT_STREQ("8E", text) << "unchanged at the end";
}

TEST(CStringTokenizer, LinesAreCountedAndCanBeTokens)
{
    CStringTokenizer t("a\r\nb\rc\nd");
    Tokens(t);
    EXPECT_EQ(4, t.GetLine());

    CStringTokenizer eol("a\r\nb\rc\n\nd");
    eol.SetEolSignificant(true);
    const std::vector<Token> got = Tokens(eol);
    const std::vector<int32_t> types = {W, 10, W, 10, W, 10, 10, W, E};
    ASSERT_EQ(types.size(), got.size());
    for (size_t i = 0; i < types.size(); ++i) EXPECT_EQ(types[i], got[i].type) << i;
    EXPECT_EQ("EOL", got[1].text);
    EXPECT_EQ("b", got[2].text);
    EXPECT_EQ("c", got[4].text);
}

TEST(CStringTokenizer, LowerCaseWords)
{
    CStringTokenizer t("AbC 'XY'");
    t.SetLowerCaseWords(true);
    const std::vector<Token> got = Tokens(t);
    EXPECT_EQ("abc", got[0].text);
    EXPECT_EQ("XY", got[1].text) << "strings keep their case";
}

// With the classes changed the number and comment paths can be reached; the
// command readers never do this.
TEST(CStringTokenizer, NumbersAndCommentsWithOtherClasses)
{
    std::string text = "12 -3.25 - .5 7. # note\n/ x // c\n/* b\nc */ {d\ne} y 1.2.3";
    CStringTokenizer t(text.data(), static_cast<int32_t>(text.size()));
    for (int c = '0'; c <= '9'; ++c) t.SetCharClass(c, CStringTokenizer::CT_DIGIT);
    t.SetCharClass('-', CStringTokenizer::CT_DIGIT);
    t.SetCharClass('.', CStringTokenizer::CT_DIGIT);
    t.SetCharClass('#', CStringTokenizer::CT_COMMENT);
    t.SetCharClass('/', 0);
    t.SetCharClass('{', 0);
    t.SetCharClass(0xFF, CStringTokenizer::CT_WORD);  // refused: the end mark stays
    const std::vector<Token> got = Tokens(t);
    const std::vector<Token> expected = {
        {CStringTokenizer::TT_INTEGER, "12.000000"}, {CStringTokenizer::TT_DECIMAL, "-3.250000"},
        {'-', "'-'"},                                {CStringTokenizer::TT_DECIMAL, "0.500000"},
        {CStringTokenizer::TT_INTEGER, "7.000000"},  {'.', "'.'"},
        {'/', "'/'"},                                {W, "x"},
        {W, "y"},                                    {CStringTokenizer::TT_DECIMAL, "1.200000"},
        {CStringTokenizer::TT_DECIMAL, "0.300000"},  {E, "EOF"},
    };
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(expected[i].type, got[i].type) << i;
        EXPECT_EQ(expected[i].text, got[i].text) << i;
    }
    EXPECT_EQ(5, t.GetLine());

    CStringTokenizer open("a /* never closed");
    open.SetCharClass('/', 0);
    EXPECT_EQ(W, open.NextToken());
    EXPECT_EQ(E, open.NextToken());
}

} // namespace
