/* orvexa_ctl: sets the scenario of the emulated ORVEXA driver from scripts and checks that
 * the driver answers.
 *
 *   orvexa_ctl [--device PATH] COMMAND [ARGS] [COMMAND [ARGS]]...
 *
 * Commands run in order on one open handle; the first failure ends the run.
 *   reset                         back to an empty driver
 *   word W V                      pin information word W to V (word 5: block length)
 *   unpin W|all                   report word W (or all) from the driver state again
 *   units N                       block length in 8-byte units
 *   fault KIND FUNC [P [S [C]]]   arm a fault; KIND fail|netpath|status|checksum|delta|
 *                                 length; FUNC a request name, 0..15, a control code, or any;
 *                                 P param, S requests to skip, C times (0 = 1, -1 = forever)
 *   clear-faults
 *   bias off|half|flat
 *   policy FLAGS                  number, or names joined by '+': bytes-seed, keys-ready,
 *                                 refuse-unready, default, none
 *   load-key SLOT NUM10 NUMP12
 *   info | state | counters | last | reset-counters
 *   probe                         open both device names, query, read a block, reset a slot
 *                                 against an armed error 53, and time the calls
 * Exit codes: 0 done, 1 usage, 2 device not opened, 3 a request or a probe check failed.
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "orvexa_emu.h"
#include "orvexa_testctl.h"

enum { EXIT_USAGE = 1, EXIT_NO_DEVICE = 2, EXIT_REQUEST = 3 };

static const char* const function_names[ORVEXA_EMU_FUNCTIONS] = {
    [ORVEXA_EMU_FN_INFO] = "info",       [ORVEXA_EMU_FN_BLOCK_READ] = "block",
    [ORVEXA_EMU_FN_KEY_SET] = "key-set", [ORVEXA_EMU_FN_STEP] = "step",
    [ORVEXA_EMU_FN_KEY_GET] = "key-get", [ORVEXA_EMU_FN_KEY_RESET] = "reset",
    [ORVEXA_EMU_FN_RECORDS] = "records", [ORVEXA_EMU_FN_SEED_BYTE] = "seed-byte",
    [ORVEXA_EMU_FN_BYTE_READ] = "byte",  [ORVEXA_EMU_FN_DATA_IV_A] = "iv-a",
    [ORVEXA_EMU_FN_DATA_IV_B] = "iv-b",  [ORVEXA_EMU_FN_DATA_KEYED] = "keyed",
    [ORVEXA_EMU_FN_DATA_TEXT] = "text"};

static int parse_number(const char* s, uint32_t* value) {
    char* end;
    if (!s || !*s)
        return 0;
    *value = *s == '-' ? (uint32_t)strtol(s, &end, 0) : (uint32_t)strtoul(s, &end, 0);
    return *end == '\0';
}

static int parse_function(const char* s, uint32_t* code) {
    uint32_t k;
    if (!s)
        return 0;
    if (strcmp(s, "any") == 0) {
        *code = 0;
        return 1;
    }
    for (k = 0; k < 16; k++) {
        if (function_names[k] && strcmp(s, function_names[k]) == 0) {
            *code = ORVEXA_EMU_CODE(k);
            return 1;
        }
    }
    if (!parse_number(s, &k))
        return 0;
    *code = k < 16 ? ORVEXA_EMU_CODE(k) : k;
    return 1;
}

static int lookup(const char* s, const char* const* names, uint32_t count, uint32_t first,
                  uint32_t* value) {
    uint32_t i;
    for (i = 0; i < count; i++) {
        if (s && strcmp(s, names[i]) == 0) {
            *value = first + i;
            return 1;
        }
    }
    return 0;
}

static int parse_policy(const char* s, uint32_t* flags) {
    char buf[128], *part, *next;
    if (parse_number(s, flags))
        return 1;
    if (!s || strlen(s) >= sizeof buf)
        return 0;
    strcpy(buf, s);
    *flags = 0;
    for (part = buf; part; part = next) {
        next = strchr(part, '+');
        if (next)
            *next++ = '\0';
        if (strcmp(part, "bytes-seed") == 0)
            *flags |= ORVEXA_TESTCTL_POLICY_BYTES_SEED;
        else if (strcmp(part, "keys-ready") == 0)
            *flags |= ORVEXA_TESTCTL_POLICY_KEYS_READY;
        else if (strcmp(part, "refuse-unready") == 0)
            *flags |= ORVEXA_TESTCTL_POLICY_REFUSE_UNREADY;
        else if (strcmp(part, "default") == 0)
            *flags |= ORVEXA_TESTCTL_POLICY_DEFAULT;
        else if (strcmp(part, "none") != 0)
            return 0;
    }
    return 1;
}

static HANDLE open_device(const char* path, int shared) {
    return CreateFileA(path, GENERIC_READ, shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, NULL,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

/* One test-control request; the answer (if any) goes to out. */
static int ctl(HANDLE h, uint32_t op, const uint32_t* args, const void* extra, DWORD extra_len,
               void* out, DWORD out_len, DWORD* returned) {
    unsigned char in[sizeof(orvexa_testctl_request) + 32];
    orvexa_testctl_request req;
    DWORD got = 0;
    memset(&req, 0, sizeof req);
    req.op = op;
    if (args)
        memcpy(req.arg, args, sizeof req.arg);
    memcpy(in, &req, sizeof req);
    if (extra_len)
        memcpy(in + sizeof req, extra, extra_len);
    if (!DeviceIoControl(h, ORVEXA_TESTCTL_CODE, in, (DWORD)sizeof req + extra_len, out, out_len,
                         &got, NULL)) {
        fprintf(stderr, "orvexa_ctl: test control %u failed, error %lu\n", (unsigned)op,
                (unsigned long)GetLastError());
        return 0;
    }
    if (returned)
        *returned = got;
    return 1;
}

static int query_info(HANDLE h, uint32_t info[20]) {
    uint32_t hdr[4] = {0, 0, 0, 0};
    DWORD got = 0;
    return DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_INFO), hdr, sizeof hdr, info, 80, &got,
                           NULL) &&
           got == 80;
}

static void print_words(const uint32_t* w, uint32_t n, const char* prefix) {
    uint32_t i;
    for (i = 0; i < n; i++)
        printf("%s%u %lu (0x%08lX)\n", prefix, (unsigned)i, (unsigned long)w[i],
               (unsigned long)w[i]);
}

static double seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

#define CHECK(cond, what)                                                                          \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            printf("probe: FAILED %s (error %lu)\n", what, (unsigned long)GetLastError());         \
            return 0;                                                                              \
        }                                                                                          \
        printf("probe: ok %s\n", what);                                                            \
    } while (0)

static int probe(HANDLE h) {
    static unsigned char block[16 + 8 * ORVEXA_EMU_MAX_BLOCK_UNITS];
    uint32_t info[20], args[5] = {0, 0, 0, 0, 0}, hdr[4] = {0, 0, 0, 0}, len, i;
    unsigned char sum = 0;
    DWORD got = 0;
    HANDLE other;
    LARGE_INTEGER t0, t1;
    const int rounds = 2000;
    BOOL ok;

    other = open_device("\\\\.\\orvexa", 1);
    CHECK(other != INVALID_HANDLE_VALUE, "open \\\\.\\orvexa");
    CloseHandle(other);

    CHECK(ctl(h, ORVEXA_TESTCTL_RESET, NULL, NULL, 0, NULL, 0, NULL), "reset");
    CHECK(query_info(h, info), "information query");
    printf("probe: words 1 %lu, 2 %lu, 3 %lu, 5 %lu, 7 %lu\n", (unsigned long)info[1],
           (unsigned long)info[2], (unsigned long)info[3], (unsigned long)info[5],
           (unsigned long)info[7]);
    len = info[5] * 8;

    ok = DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_BLOCK_READ), NULL, 0, block, 16 + len,
                         &got, NULL);
    memcpy(hdr, block, 16);
    for (i = 0; i < len; i++)
        sum ^= block[16 + i];
    CHECK(ok && got == 16 + len && hdr[0] == 0 && hdr[3] == len && hdr[2] == sum,
          "block read with its checksum");

    args[0] = ORVEXA_EMU_CODE(ORVEXA_EMU_FN_KEY_RESET);
    args[1] = ORVEXA_TESTCTL_FAULT_NETPATH;
    CHECK(ctl(h, ORVEXA_TESTCTL_ARM_FAULT, args, NULL, 0, NULL, 0, NULL), "arm error 53");
    memset(hdr, 0, sizeof hdr);
    ok = DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_KEY_RESET), hdr, 16, NULL, 0, &got, NULL);
    CHECK(!ok && GetLastError() == ERROR_BAD_NETPATH, "key reset fails with error 53");
    CHECK(
        DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_KEY_RESET), hdr, 16, NULL, 0, &got, NULL),
        "next key reset succeeds");

    for (i = 0; i < 40; i++) {
        unsigned char byte;
        if (!DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_BYTE_READ), NULL, 0, &byte, 1, &got,
                             NULL) ||
            got != 1 ||
            !DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_STEP), NULL, 0, NULL, 0, &got, NULL))
            break;
    }
    CHECK(i == 40 && query_info(h, info) && info[2] != 0 && info[1] == 0,
          "40 byte reads and steps seed the generator");

    args[0] = 1;
    CHECK(ctl(h, ORVEXA_TESTCTL_LOAD_KEY, args, "0123456789012345678901", 22, NULL, 0, NULL),
          "load a key into slot 1");
    memset(block, 0, 26);
    block[0] = 4; /* key-get 4 of slot 1, answered in the same buffer */
    block[4] = 1;
    ok = DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_KEY_GET), block, 16, block, 26, &got,
                         NULL);
    CHECK(ok && got == 26 && block[0] == 0 && block[12] == 10 &&
              memcmp(block + 16, "0123456789", 10) == 0,
          "key-get 4 returns the key number");
    CHECK(query_info(h, info) && info[1] != 0, "a loaded key makes the generator ready");

    QueryPerformanceCounter(&t0);
    for (i = 0; i < (uint32_t)rounds; i++)
        if (!query_info(h, info))
            break;
    QueryPerformanceCounter(&t1);
    CHECK(i == (uint32_t)rounds, "repeated information queries");
    printf("probe: %.1f us per information query (%d calls)\n", seconds(t0, t1) * 1e6 / rounds,
           rounds);

    QueryPerformanceCounter(&t0);
    for (i = 0; i * len < 25600 && len; i++)
        if (!DeviceIoControl(h, ORVEXA_EMU_CODE(ORVEXA_EMU_FN_BLOCK_READ), NULL, 0, block, 16 + len,
                             &got, NULL))
            break;
    QueryPerformanceCounter(&t1);
    printf("probe: 25,600 generator bytes in %u block reads: %.1f ms\n", (unsigned)i,
           seconds(t0, t1) * 1e3);
    CHECK(ctl(h, ORVEXA_TESTCTL_RESET, NULL, NULL, 0, NULL, 0, NULL), "reset after probe");
    return 1;
}

static int usage_error(const char* cmd) {
    fprintf(stderr, "orvexa_ctl: bad arguments for '%s'\n", cmd);
    return EXIT_USAGE;
}

static int run(HANDLE h, int argc, char** argv) {
    static orvexa_testctl_last_request last;
    int i = 0;
    while (i < argc) {
        const char* cmd = argv[i++];
        uint32_t args[5] = {0, 0, 0, 0, 0};
        uint32_t op = 0;
        int have = 0;
        const char* a0 = i < argc ? argv[i] : NULL;
        const char* a1 = i + 1 < argc ? argv[i + 1] : NULL;
        const char* a2 = i + 2 < argc ? argv[i + 2] : NULL;
        if (strcmp(cmd, "reset") == 0) {
            op = ORVEXA_TESTCTL_RESET;
        } else if (strcmp(cmd, "clear-faults") == 0) {
            op = ORVEXA_TESTCTL_CLEAR_FAULTS;
        } else if (strcmp(cmd, "reset-counters") == 0) {
            op = ORVEXA_TESTCTL_RESET_COUNTERS;
        } else if (strcmp(cmd, "word") == 0) {
            op = ORVEXA_TESTCTL_SET_WORD;
            if (!parse_number(a0, &args[0]) || !parse_number(a1, &args[1]))
                return usage_error(cmd);
            i += 2;
        } else if (strcmp(cmd, "unpin") == 0) {
            op = ORVEXA_TESTCTL_UNPIN_WORD;
            if (a0 && strcmp(a0, "all") == 0)
                args[0] = ORVEXA_TESTCTL_ALL;
            else if (!parse_number(a0, &args[0]))
                return usage_error(cmd);
            i++;
        } else if (strcmp(cmd, "units") == 0) {
            op = ORVEXA_TESTCTL_SET_BLOCK_UNITS;
            if (!parse_number(a0, &args[0]))
                return usage_error(cmd);
            i++;
        } else if (strcmp(cmd, "fault") == 0) {
            static const char* const kinds[] = {"fail",     "netpath", "status",
                                                "checksum", "delta",   "length"};
            op = ORVEXA_TESTCTL_ARM_FAULT;
            if (!lookup(a0, kinds, 6, ORVEXA_TESTCTL_FAULT_FAIL, &args[1]) ||
                !parse_function(a1, &args[0]))
                return usage_error(cmd);
            i += 2;
            for (have = 2; have < 5 && i < argc && parse_number(argv[i], &args[have]); have++)
                i++;
        } else if (strcmp(cmd, "bias") == 0) {
            static const char* const modes[] = {"off", "half", "flat"};
            op = ORVEXA_TESTCTL_SET_BIAS;
            if (!lookup(a0, modes, 3, 0, &args[0]))
                return usage_error(cmd);
            i++;
        } else if (strcmp(cmd, "policy") == 0) {
            op = ORVEXA_TESTCTL_SET_POLICY;
            if (!parse_policy(a0, &args[0]))
                return usage_error(cmd);
            i++;
        } else if (strcmp(cmd, "load-key") == 0) {
            char numbers[22];
            if (!parse_number(a0, &args[0]) || !a1 || !a2 || strlen(a1) != ORVEXA_TESTCTL_NUM_LEN ||
                strlen(a2) != ORVEXA_TESTCTL_NUMP_LEN)
                return usage_error(cmd);
            memcpy(numbers, a1, 10);
            memcpy(numbers + 10, a2, 12);
            i += 3;
            if (!ctl(h, ORVEXA_TESTCTL_LOAD_KEY, args, numbers, 22, NULL, 0, NULL))
                return EXIT_REQUEST;
            continue;
        } else if (strcmp(cmd, "info") == 0) {
            uint32_t info[20];
            if (!query_info(h, info)) {
                fprintf(stderr, "orvexa_ctl: information query failed, error %lu\n",
                        (unsigned long)GetLastError());
                return EXIT_REQUEST;
            }
            print_words(info, 20, "word ");
            continue;
        } else if (strcmp(cmd, "state") == 0) {
            orvexa_testctl_state st;
            if (!ctl(h, ORVEXA_TESTCTL_GET_STATE, NULL, NULL, 0, &st, sizeof st, NULL))
                return EXIT_REQUEST;
            print_words(st.info, 20, "word ");
            printf("seed_bytes %lu\nsteps %lu\nbytes_accepted %lu\nseeded %lu\nblock_seeded "
                   "%lu\nready %lu\nloaded_slots 0x%04lX\npolicy 0x%lX\nbias %lu\npinned "
                   "0x%05lX\nfaults_armed %lu\nblock_units %lu\n",
                   (unsigned long)st.seed_bytes, (unsigned long)st.steps,
                   (unsigned long)st.bytes_accepted, (unsigned long)st.seeded,
                   (unsigned long)st.block_seeded, (unsigned long)st.ready,
                   (unsigned long)st.loaded_slots, (unsigned long)st.policy, (unsigned long)st.bias,
                   (unsigned long)st.pinned, (unsigned long)st.faults_armed,
                   (unsigned long)st.block_units);
            continue;
        } else if (strcmp(cmd, "counters") == 0) {
            orvexa_testctl_counters n;
            uint32_t k;
            if (!ctl(h, ORVEXA_TESTCTL_GET_COUNTERS, NULL, NULL, 0, &n, sizeof n, NULL))
                return EXIT_REQUEST;
            printf("total %lu\n", (unsigned long)n.total);
            for (k = 0; k < 16; k++)
                printf("function %u %lu\n", (unsigned)k, (unsigned long)n.function[k]);
            continue;
        } else if (strcmp(cmd, "last") == 0) {
            uint32_t k;
            DWORD got = 0;
            if (!ctl(h, ORVEXA_TESTCTL_GET_LAST_REQUEST, NULL, NULL, 0, &last, sizeof last, &got))
                return EXIT_REQUEST;
            printf("code 0x%08lX\nlength %lu\ndata", (unsigned long)last.code,
                   (unsigned long)last.in_len);
            for (k = 0; k < last.stored && 12 + k < got; k++)
                printf("%s%02X", k % 32 ? " " : "\n", last.data[k]);
            printf("\n");
            continue;
        } else if (strcmp(cmd, "probe") == 0) {
            if (!probe(h))
                return EXIT_REQUEST;
            continue;
        } else {
            fprintf(stderr, "orvexa_ctl: unknown command '%s'\n", cmd);
            return EXIT_USAGE;
        }
        if (!ctl(h, op, args, NULL, 0, NULL, 0, NULL))
            return EXIT_REQUEST;
    }
    return 0;
}

int main(int argc, char** argv) {
    const char* path = "\\\\.\\OrvexaDev";
    HANDLE h;
    int rc, first = 1;
    if (argc > 2 && strcmp(argv[1], "--device") == 0) {
        path = argv[2];
        first = 3;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: orvexa_ctl [--device PATH] COMMAND [ARGS]... (see source)\n");
        return EXIT_USAGE;
    }
    h = open_device(path, 0);
    if (h == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "orvexa_ctl: cannot open %s, error %lu\n", path,
                (unsigned long)GetLastError());
        return EXIT_NO_DEVICE;
    }
    rc = run(h, argc - first, argv + first);
    CloseHandle(h);
    return rc;
}
