// Typed command texts through the tokenizer. The first byte picks switches
// and character classes, so the number, comment and line-end paths (which the
// command readers never enable) are covered as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/CStringTokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 65536) return 0;
    const uint8_t options = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const int32_t length = static_cast<int32_t>(size - 1);

    CStringTokenizer t(text, length);
    if (options & 1) {
        for (int c = '0'; c <= '9'; ++c) t.SetCharClass(c, CStringTokenizer::CT_DIGIT);
        t.SetCharClass('-', CStringTokenizer::CT_DIGIT);
        t.SetCharClass('.', CStringTokenizer::CT_DIGIT);
    }
    if (options & 2) t.SetCharClass('#', CStringTokenizer::CT_COMMENT);
    if (options & 4) {
        t.SetCharClass('/', 0);
        t.SetCharClass('{', 0);
    }
    t.SetEolSignificant((options & 8) != 0);
    t.SetLowerCaseWords((options & 16) != 0);
    if (options & 32) t.SetCharClass(data[size - 1], static_cast<uint8_t>(options >> 6));

    // Every token consumes at least one character, so more tokens than
    // characters (plus the end) means the scan stopped moving.
    const int32_t limit = length + 2;
    int32_t tokens = 0;
    for (;;) {
        const int32_t type = t.NextToken();
        if (++tokens > limit + 1) abort();
        const CString word = t.TokenText();
        if ((type == CStringTokenizer::TT_WORD || type == '"' || type == '\'') &&
            word.GetLength() > length)
            abort();
        if (t.GetPosition() > length + 1) abort();
        if (type == CStringTokenizer::TT_EOF) break;
        if ((tokens & 7) == 3) {
            const int32_t position = t.GetPosition();
            t.PushBack();
            if (t.NextToken() != type || t.GetPosition() != position) abort();
        }
    }
    return 0;
}
