// The process-wide last status: the code of the latest failure since the library was
// loaded. Successful calls leave it alone.
#ifndef ORXLINK_STATUS_H
#define ORXLINK_STATUS_H

#include <stdint.h>

void orx_set_status(uint32_t code); // keeps the low 16 bits
uint16_t orx_status(void);
const char* orx_status_text(uint32_t code); // name of codes 1..51, else null

#endif
