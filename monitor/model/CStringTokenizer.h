#pragma once
// Cuts a user-typed command text into tokens: runs of word characters, quoted
// strings and single characters, separated by white space. Digits, '-', '.',
// '/' and '{' are word characters here, so hexadecimal bytes such as "8E" and
// numbers come back as words for the caller to read.
#include <cstdint>
#include <string>

#include "framework/CObject.h"
#include "framework/CString.h"

class CStringTokenizer : public CObject {
public:
    // Token types returned by NextToken (a quoted string returns its quote
    // character, any other single character itself).
    enum : int32_t {
        TT_EOF = -1,
        TT_EOL = 10,
        TT_INTEGER = -2,  // number without a decimal point
        TT_DECIMAL = -3,  // number with a decimal point
        TT_WORD = -4
    };
    // Character class bits.
    enum : uint8_t {
        CT_WHITESPACE = 1,
        CT_DIGIT = 2,
        CT_WORD = 4,
        CT_QUOTE = 8,
        CT_COMMENT = 16
    };

    explicit CStringTokenizer(const char* text);
    // A text of `length` bytes that may hold '\0' (white space to the tokenizer).
    CStringTokenizer(const char* text, int32_t length);

    // Text of the current token: "EOL", "EOF", the word or string, the
    // number as "%f", or "'c'" for a single character.
    virtual CString TokenText();
    // The next NextToken returns the current token again without reading.
    virtual void PushBack();
    // Reads the next token and returns its type.
    virtual int32_t NextToken();

    int32_t GetTokenType() const { return m_tokenType; }
    double GetNumber() const { return m_number; }
    int32_t GetLine() const { return m_line; }
    int32_t GetPosition() const { return m_position; }

    // Switches and classes the command readers never change; they exist so
    // that the number, comment and line-end paths can be exercised too.
    void SetCharClass(int ch, uint8_t classBits);
    void SetEolSignificant(bool on) { m_eolSignificant = on; }
    void SetLowerCaseWords(bool on) { m_lowerCaseWords = on; }
    void SetSlashSlashComments(bool on) { m_slashSlashComments = on; }
    void SetSlashStarComments(bool on) { m_slashStarComments = on; }
    void SetBraceComments(bool on) { m_braceComments = on; }

private:
    enum : int { kEndMark = 0xFF, kNoChar = 0xFE };
    enum : int32_t { kNothing = -5 };  // no token read yet

    void Init();
    int Read();
    int PeekNext() const;
    uint8_t ClassOf(int c) const { return m_classes[c & 0xFF]; }
    int32_t ReadNumber(int c);
    int32_t ReadQuoted(int quote);

    std::string m_text;  // the input followed by the end mark
    bool m_slashSlashComments;
    bool m_slashStarComments;
    bool m_braceComments;
    bool m_eolSignificant;
    bool m_lowerCaseWords;
    bool m_pushedBack;
    int m_lookAhead;
    uint8_t m_classes[256];
    int32_t m_tokenType;
    double m_number;
    CString m_tokenText;
    int32_t m_line;
    int32_t m_position;
};

// The next token's text into `text`; false at the end of the text.
bool GetNextToken(CStringTokenizer& tokenizer, CString& text);
