// The operator's random-generator initialisation: samples from key, mouse and device
// events, then the completion step.
#ifndef ORX_LOADER_RNG_COLLECTION_H
#define ORX_LOADER_RNG_COLLECTION_H

#include <stdint.h>

void rng_press_event(uint32_t message_time);
void rng_move_event(uint32_t message_time);
void rng_collection_step(); // command 2866
void rng_completion_step();

#endif
