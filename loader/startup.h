// The loader's entry: start-up steps, the unattended modes and their exit codes.
#ifndef ORX_LOADER_STARTUP_H
#define ORX_LOADER_STARTUP_H

enum {
    EXIT_DONE = 0,
    EXIT_ALREADY_RUNNING = 1,
    EXIT_DRIVER = 501,
    EXIT_RNG_OR_KEYS = 502,
    EXIT_LIBRARIES = 503,
};

// Upper-cases the line in place; returns 'I', 'R', 'U', 'S' or 0 (interactive).
int parse_command_mode(char* command_line);
// "res" + language id in lower-case hex + ".dll".
void language_module_name(unsigned language, char name[16]);

void attention_signal();
void library_failure_beep();

// Runs the whole program after the platform entry; returns the exit code.
int run_loader(char* command_line);

// Calls InitKey with the default key device up to 7 times; 0 or 502.
int load_default_keys();

#endif
