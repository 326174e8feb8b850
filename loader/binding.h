// Binding the outside libraries at run time, and the two procedures that use them beyond
// single calls: the Akkord auto-initialisation and the key-medium request.
#ifndef ORX_LOADER_BINDING_H
#define ORX_LOADER_BINDING_H

#include "outside_api.h"

// Finds the crypto library in the system directory; 1 when bound.
int bind_crypto_library();
// Looks up rdr_error_a in the already loaded rdr.dll; 1 when found.
int bind_reader_library();
// Draws 41 bytes from the Akkord device: 8 to the driver, 32 into the registry mask.
// On success the RNG progress becomes 40.
int akkord_auto_init();
// Fills the key-medium request and hands it to lokey_get, then lokey_free.
void key_medium_request();
void build_lokey_request(LokeyRequest* request);

#endif
