/* Message texts of the rdr.dll stand-in, kept apart from the Win32 entry point so that the
 * rules read in one place.
 *
 * Codes and what rdr_error_a answers for them (language 0, the only one there is):
 *   4000..4089, 4100   "Reader error <code>: <reason>", result 0
 *   4090..4097         no text, result RDR_NO_TEXT
 *   4098               a text of exactly RDR_LONG_TEXT_CHARS characters (fills a 260-byte
 *                      buffer together with its NUL), result 0
 *   4099               the whole buffer filled with text and no terminating NUL, result 0
 *   anything else      no text, result RDR_NO_TEXT (4101 and all codes below 4000 included)
 * A text longer than the buffer is cut to capacity - 1 characters and NUL-terminated.
 */
#ifndef ORX_TESTBED_READER_TEXTS_H
#define ORX_TESTBED_READER_TEXTS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    RDR_DONE = 0,
    RDR_NO_TEXT = 1,    /* the code has no text (or the language is unknown) */
    RDR_BAD_BUFFER = 2, /* no buffer, no length, or a capacity of 0 */
};

#define RDR_FIRST_CODE 4000
#define RDR_LONG_TEXT_CODE 4098
#define RDR_UNTERMINATED_CODE 4099
#define RDR_LONG_TEXT_CHARS 259u

/* Writes the text of `code` into `text` (capacity *length bytes, NUL included) and sets
 * *length to the characters written, NUL not counted. Nothing is written past the
 * capacity; on a nonzero result neither the buffer nor *length is touched. */
int32_t rdr_format_error(int32_t language, int32_t code, uint32_t* length, char* text);

#ifdef __cplusplus
}
#endif

#endif
