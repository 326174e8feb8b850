/* The one export of rdr.dll, for the libraries that import it. */
#ifndef ORX_TESTBED_RDR_H
#define ORX_TESTBED_RDR_H

#include "outside_api.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifdef RDR_BUILD
#define RDR_API __declspec(dllexport)
#else
#define RDR_API __declspec(dllimport)
#endif

/* 0 and the NUL-terminated text of `code` in `text` (capacity *length); nonzero when the
 * code has no text. Codes and texts: reader_texts.h. */
RDR_API int32_t ORX_OUTSIDE_API rdr_error_a(int32_t zero, int32_t code, uint32_t* length,
                                            char* text);

#ifdef __cplusplus
}
#endif

#endif
