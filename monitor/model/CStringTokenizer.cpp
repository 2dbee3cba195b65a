#include "model/CStringTokenizer.h"

#include <cmath>
#include <cstring>

namespace {

bool IsDecimalDigit(int c)
{
    return c >= '0' && c <= '9';
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

CStringTokenizer::CStringTokenizer(const char* text)
    : CStringTokenizer(text, text ? static_cast<int32_t>(strlen(text)) : 0)
{
}

CStringTokenizer::CStringTokenizer(const char* text, int32_t length)
{
    if (text != nullptr && length > 0) m_text.assign(text, static_cast<size_t>(length));
    m_text.push_back(static_cast<char>(kEndMark));
    Init();
}

void CStringTokenizer::Init()
{
    m_slashSlashComments = true;
    m_slashStarComments = true;
    m_braceComments = true;
    m_eolSignificant = false;
    m_lowerCaseWords = false;
    m_pushedBack = false;
    m_lookAhead = kNoChar;
    memset(m_classes, 0, sizeof(m_classes));
    for (int c = 'a'; c <= 'z'; ++c) m_classes[c] |= CT_WORD;
    for (int c = 'A'; c <= 'Z'; ++c) m_classes[c] |= CT_WORD;
    for (int c = 0x21; c <= 0xFD; ++c) m_classes[c] |= CT_WORD;
    m_classes[static_cast<uint8_t>('"')] = CT_QUOTE;
    m_classes[static_cast<uint8_t>('\'')] = CT_QUOTE;
    for (int c = 0x00; c <= 0x20; ++c) m_classes[c] = CT_WHITESPACE;
    m_classes[kNoChar] = CT_WHITESPACE;
    m_classes[kEndMark] = CT_WHITESPACE;
    for (int c = '0'; c <= '9'; ++c) m_classes[c] |= CT_WORD;
    m_tokenType = kNothing;
    m_number = 0.0;
    m_line = 1;
    m_position = 0;
}

void CStringTokenizer::SetCharClass(int ch, uint8_t classBits)
{
    // The end mark and the "no character" value must stay white space, or
    // the scan could never see the end of the text.
    if (ch < 0 || ch > 0xFF || ch == kEndMark || ch == kNoChar) return;
    m_classes[ch] = classBits;
}

int CStringTokenizer::Read()
{
    // Past the end mark the end mark is read again: no loop can run off the text.
    if (m_position >= static_cast<int32_t>(m_text.size())) return kEndMark;
    return static_cast<uint8_t>(m_text[static_cast<size_t>(m_position++)]);
}

int CStringTokenizer::PeekNext() const
{
    if (m_position >= static_cast<int32_t>(m_text.size())) return kEndMark;
    return static_cast<uint8_t>(m_text[static_cast<size_t>(m_position)]);
}

void CStringTokenizer::PushBack()
{
    if (m_tokenType != kNothing) m_pushedBack = true;
}

int32_t CStringTokenizer::NextToken()
{
    if (m_pushedBack) {
        m_pushedBack = false;
        return m_tokenType;
    }
    int c = m_lookAhead;
    m_lookAhead = kNoChar;
    m_tokenText.Empty();

    // Comments restart the scan here instead of recursing, so a text of many
    // comment lines cannot exhaust the stack.
    for (;;) {
        if (c == kNoChar) c = Read();

        while (ClassOf(c) & CT_WHITESPACE) {
            if (c == kEndMark) return m_tokenType = TT_EOF;
            if (c == '\r') {
                ++m_line;
                c = Read();
                if (c == '\n') c = kNoChar;  // CR LF is one line end
                if (m_eolSignificant) {
                    m_lookAhead = c;
                    return m_tokenType = TT_EOL;
                }
                if (c == kNoChar) c = Read();
                continue;
            }
            if (c == '\n') {
                ++m_line;
                if (m_eolSignificant) return m_tokenType = TT_EOL;
            }
            c = Read();
        }

        const uint8_t cls = ClassOf(c);
        if ((cls & CT_DIGIT) &&
            (IsDecimalDigit(c) || c == '-' || (c == '.' && IsDecimalDigit(PeekNext()))))
            return m_tokenType = ReadNumber(c);

        if (cls & CT_WORD) {
            std::string word;
            do {
                word += m_lowerCaseWords ? LowerAscii(static_cast<char>(c)) : static_cast<char>(c);
                c = Read();
            } while (ClassOf(c) & (CT_WORD | CT_DIGIT));
            m_lookAhead = c;
            m_tokenText = CString(word.data(), static_cast<int>(word.size()));
            return m_tokenType = TT_WORD;
        }

        if (cls & CT_COMMENT) {
            do c = Read();
            while (c != '\n' && c != '\r' && c != kEndMark);
            continue;
        }

        if (cls & CT_QUOTE) return m_tokenType = ReadQuoted(c);

        if (c == '{' && m_braceComments) {
            int prev = 0;
            do {
                prev = c;
                c = Read();
                if (c == '\r' || (c == '\n' && prev != '\r')) ++m_line;
            } while (c != '}' && c != kEndMark);
            if (c == '}') c = Read();
            continue;
        }

        if (c == '/' && (m_slashSlashComments || m_slashStarComments)) {
            const int next = Read();
            if (next == '*' && m_slashStarComments) {
                int prev = 0;
                for (;;) {
                    c = Read();
                    if (c == kEndMark) return m_tokenType = TT_EOF;  // unterminated
                    if (c == '\r' || (c == '\n' && prev != '\r')) ++m_line;
                    if (prev == '*' && c == '/') break;
                    prev = c;
                }
                c = Read();
                continue;
            }
            if (next == '/' && m_slashSlashComments) {
                c = next;
                do c = Read();
                while (c != '\n' && c != '\r' && c != kEndMark);
                continue;
            }
            m_lookAhead = next;
            return m_tokenType = '/';
        }

        return m_tokenType = c;
    }
}

int32_t CStringTokenizer::ReadNumber(int c)
{
    bool negative = false;
    if (c == '-') {
        const int next = PeekNext();
        if (next != '.' && !IsDecimalDigit(next)) return '-';  // a lone minus
        negative = true;
        c = Read();
    }
    double value = 0.0;
    int fractionDigits = 0;
    bool point = false;
    for (;;) {
        if (IsDecimalDigit(c)) {
            value = value * 10.0 + (c - '0');
            if (point) ++fractionDigits;
        } else if (c == '.' && !point && IsDecimalDigit(PeekNext())) {
            point = true;  // a point without a digit after it is left for the next token
        } else {
            break;
        }
        c = Read();
    }
    m_lookAhead = c;
    if (fractionDigits > 0) value /= std::pow(10.0, fractionDigits);
    m_number = negative ? -value : value;
    return point ? TT_DECIMAL : TT_INTEGER;
}

int32_t CStringTokenizer::ReadQuoted(int quote)
{
    std::string text;
    int d = Read();
    while (d != quote && d != '\n' && d != '\r' && d != kEndMark) {
        int ch;
        if (d == '\\') {
            const int e = Read();
            if (e == kEndMark) {
                d = e;
                break;
            }
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                int digits = 1;
                d = Read();
                while (digits < 3 && d >= '0' && d <= '7') {
                    value = value * 8 + (d - '0');
                    ++digits;
                    d = Read();
                }
                ch = value & 0xFF;
            } else {
                switch (e) {
                case 'a': ch = '\a'; break;
                case 'b': ch = '\b'; break;
                case 'f': ch = '\f'; break;
                case 'n': ch = '\n'; break;
                case 'r': ch = '\r'; break;
                case 't': ch = '\t'; break;
                case 'v': ch = '\v'; break;
                default: ch = e; break;
                }
                d = Read();
            }
        } else {
            ch = d;
            d = Read();
        }
        text += static_cast<char>(ch);
    }
    // An unterminated string ends at the line end, which stays to be read.
    m_lookAhead = (d == quote) ? kNoChar : d;
    m_tokenText = CString(text.data(), static_cast<int>(text.size()));
    return quote;
}

CString CStringTokenizer::TokenText()
{
    CString text;
    switch (m_tokenType) {
    case TT_EOL:
        return CString("EOL");
    case TT_EOF:
        return CString("EOF");
    case TT_WORD:
    case '"':
    case '\'':
        return m_tokenText;
    case TT_INTEGER:
    case TT_DECIMAL:
        text.Format("%f", m_number);
        return text;
    case kNothing:
        return text;
    default:
        text.Format("'%c'", static_cast<char>(m_tokenType));
        return text;
    }
}

bool GetNextToken(CStringTokenizer& tokenizer, CString& text)
{
    if (tokenizer.NextToken() == CStringTokenizer::TT_EOF) return false;
    text = tokenizer.TokenText();
    return true;
}
