// How orxtool's commands report: text on stdout, errors on stderr, and with --json one JSON
// document on stdout for every outcome, failures included:
//   {"command": NAME, ...the command's fields..., "ok": BOOL, "exit_code": N
//    [, "error": TEXT, "status": {"code": N, "name": TEXT}]}
#ifndef ORXTOOL_REPORT_H
#define ORXTOOL_REPORT_H

#include <stdint.h>

#include <string>

#include "commands.h"
#include "json.h"

// printf to standard output.
#ifdef __GNUC__
__attribute__((format(printf, 1, 2)))
#endif
void print_out(const char* format, ...);

// Opens the document with the command's name.
void report_begin(const Context& ctx, JsonWriter& j);

// Ends the run with `exit_code`: in JSON mode closes and prints the document.
int report_end(const Context& ctx, JsonWriter& j, int exit_code);

// Ends the run with a failure: "orxtool COMMAND: message" on stderr; in JSON mode the
// message and the library's last status join the document.
int report_failure(const Context& ctx, JsonWriter& j, int exit_code, const std::string& message);

// A failed library call: the message gets the last status appended, and the exit code is
// ORXTOOL_DRIVER_ABSENT when the device could not be opened, else ORXTOOL_REFUSED.
int report_driver_failure(const Context& ctx, JsonWriter& j, const std::string& what);

// "15 ERROR_NUM_NOT_SET", "53 (system error 53)", or "0" before any failure.
std::string status_text(uint32_t status);
// {"code": N, "name": TEXT}; the name is "" for codes without one.
void add_status(JsonWriter& j, const char* key, uint32_t status);
std::string status_name(uint32_t status);

#endif
