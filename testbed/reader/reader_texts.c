/* Texts of the reader error codes. */
#include "reader_texts.h"

#include <stdio.h>
#include <string.h>

typedef struct reason {
    int32_t code;
    const char* text;
} reason;

/* Codes with a reason of their own; the other codes of the range get the general one. */
static const reason reasons[] = {
    {4000, "reader not found"},
    {4001, "reader not responding"},
    {4002, "port busy"},
    {4003, "port cannot be opened"},
    {4004, "reader timeout"},
    {4010, "no medium in the reader"},
    {4011, "medium removed during the operation"},
    {4017, "card not present"},
    {4018, "card does not answer"},
    {4020, "wrong PIN"},
    {4021, "PIN blocked"},
    {4030, "medium read error"},
    {4031, "medium write error"},
    {4040, "token locked"},
    {4100, "medium type not supported"},
};

static const char general_reason[] = "reader failure";

static int has_text(int32_t code) {
    return (code >= RDR_FIRST_CODE && code <= 4089) || code == 4100;
}

static const char* reason_of(int32_t code) {
    size_t i;
    for (i = 0; i < sizeof reasons / sizeof reasons[0]; ++i)
        if (reasons[i].code == code)
            return reasons[i].text;
    return general_reason;
}

/* Copies at most capacity - 1 characters and the NUL. */
static uint32_t put_text(const char* source, uint32_t capacity, char* text) {
    size_t n = strlen(source);
    if (n > capacity - 1)
        n = capacity - 1;
    memcpy(text, source, n);
    text[n] = '\0';
    return (uint32_t)n;
}

int32_t rdr_format_error(int32_t language, int32_t code, uint32_t* length, char* text) {
    char line[RDR_LONG_TEXT_CHARS + 1];
    uint32_t capacity;
    if (!length || !text || *length == 0)
        return RDR_BAD_BUFFER;
    if (language != 0)
        return RDR_NO_TEXT;
    capacity = *length;

    if (code == RDR_UNTERMINATED_CODE) {
        uint32_t i;
        for (i = 0; i < capacity; ++i)
            text[i] = (char)('A' + i % 26);
        *length = capacity;
        return RDR_DONE;
    }
    if (code == RDR_LONG_TEXT_CODE) {
        int head = snprintf(line, sizeof line, "Reader error %d: ", (int)code);
        memset(line + head, '.', RDR_LONG_TEXT_CHARS - (uint32_t)head - 3);
        memcpy(line + RDR_LONG_TEXT_CHARS - 3, "end", 3);
        line[RDR_LONG_TEXT_CHARS] = '\0';
    } else if (has_text(code)) {
        snprintf(line, sizeof line, "Reader error %d: %s", (int)code, reason_of(code));
    } else {
        return RDR_NO_TEXT;
    }
    *length = put_text(line, capacity, text);
    return RDR_DONE;
}
