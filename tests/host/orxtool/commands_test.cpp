// orxtool against a scripted orxlink, console and disk (linked in place of
// platform_win32.cpp), one row per run: the exit code, what the operator reads, the JSON a
// script parses, the resets, seeds and reads asked of the library, and the disk afterwards
// (a failure leaves no file behind).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>

#include "cli.h"
#include "json.h"
#include "tool_platform.h"

namespace {

struct World {
    uint32_t status = 0; // the last status; failing calls set it, others leave it
    orvexa_drv_info info = {};
    std::string keys[2][ORVEXA_SLOT_COUNT]; // [sign, crypt][slot]; "": no such number
    std::map<int, uint32_t> failing;        // call number (from 1) -> the status it fails with
    uint32_t otherwise = 0;                 // the status every other call fails with
    std::vector<std::pair<int, int>> needs; // get_seed_need answers in turn; last repeats
    int biased_reads = 0;                   // the first n get_random calls give bytes < 128
    std::mt19937 generator{2026};           // get_random's bytes
    bool system_random = true, console = false, out_fails = false;
    std::map<std::string, std::string> files; // "locked", "full" fail
    // What the run did; log: "r<slot> " per reset, "s<kind>,<size> " per seed, "g<length> "
    // per read.
    int calls = 0;
    std::string out, err, log;
} world;

// One library call: false (status set) when this call is scripted to fail, or every call is.
bool call() {
    auto failure = world.failing.find(++world.calls);
    const uint32_t status = failure != world.failing.end() ? failure->second : world.otherwise;
    world.status = status ? status : world.status;
    return status == 0;
}

struct Row {
    std::string args;            // split at each blank: "reset " is reset with an empty SLOT
    std::function<void()> scene; // on top of a fresh world: a ready generator, a working disk
    int code;
    std::string out, err;                         // the whole text, or "~a~b": a, then b, in it
    const char* log = nullptr;                    // nullptr: not checked
    std::map<std::string, std::string> disk = {}; // the files afterwards
};

void expect_text(const std::string& actual, const std::string& expected, const std::string& run) {
    for (size_t a = 1, b = 0, at = 0; expected[0] == '~' && b < expected.size(); a = b + 1) {
        b = std::min(expected.find('~', a), expected.size());
        at = actual.find(expected.substr(a, b - a), at);
        ASSERT_NE(at, std::string::npos) << run << ": " << expected.substr(a, b - a) << actual;
    }
    EXPECT_EQ(actual, expected[0] == '~' ? actual : expected) << run;
}

void run_rows(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        world = World();
        if (r.scene)
            r.scene();
        std::vector<std::string> words = {"orxtool"};
        for (size_t from = 0, to = 0; !r.args.empty() && to != std::string::npos; from = to + 1)
            words.push_back(r.args.substr(from, (to = r.args.find(' ', from)) - from));
        std::vector<const char*> argv;
        for (const std::string& w : words)
            argv.push_back(w.c_str());
        EXPECT_EQ(orxtool_main(int(argv.size()), argv.data()), r.code) << r.args;
        expect_text(world.out, r.out, r.args);
        expect_text(world.err, r.err, r.args);
        EXPECT_EQ(world.log, r.log ? r.log : world.log) << r.args;
        EXPECT_EQ(world.calls, r.code == 4 ? 0 : world.calls) << r.args << ": arguments first";
        EXPECT_EQ(world.files, r.disk) << r.args;
    }
}

const char* absent = "~: the ORVEXA driver is not available (status 51 DRIVER_OPEN_ERROR)\n";
const auto no_driver = [] { world.otherwise = DRIVER_OPEN_ERROR; };
const auto needs = [](std::vector<std::pair<int, int>> n) { return [n] { world.needs = n; }; };
const auto failing = [](std::map<int, uint32_t> f) { return [f] { world.failing = f; }; };
const auto biased = [](int reads, std::map<int, uint32_t> f = {}) {
    return [=] { world.biased_reads = reads, world.failing = f; };
};

} // namespace

uint32_t tool_library_version() {
    return ORXLINK_VERSION;
}

uint32_t tool_last_status() {
    return world.status;
}

std::string tool_last_status_name() {
    const std::map<uint32_t, std::string> names = {
        {1, "ORX_DRIVER_ERROR"}, {9, "ERROR_SET_KEY_INPUT_CHECK"}, {51, "DRIVER_OPEN_ERROR"}};
    return names.count(world.status) ? names.at(world.status) : "";
}

bool tool_query_info(orvexa_drv_info* info) {
    return call() && (*info = world.info, true);
}

// A key number, or the driver's "not set" status (15 crypt, 16 sign) when the slot holds none.
bool tool_key_get(bool crypt, uint32_t slot, uint8_t* item) {
    const std::string& number = world.keys[crypt][slot];
    if (!call())
        return false;
    world.status = number.empty() ? 16 - crypt : world.status;
    std::copy(number.begin(), number.end(), item);
    return !number.empty();
}

bool tool_key_reset(uint32_t slot) {
    world.log += "r" + std::to_string(slot) + " ";
    return call();
}

int tool_get_seed_need(int* kind, int* size) {
    const size_t asked = std::count(world.log.begin(), world.log.end(), 's');
    const auto need = world.needs.empty() ? std::make_pair(0, 0)
                                          : world.needs[std::min(asked, world.needs.size() - 1)];
    *kind = need.first, *size = need.second;
    return !call();
}

int tool_put_seed(int kind, int size, const uint8_t*) {
    world.log += "s" + std::to_string(kind) + "," + std::to_string(size) + " ";
    return !call();
}

int tool_get_random(uint32_t length, uint8_t* buffer) {
    world.log += "g" + std::to_string(length) + " ";
    const bool biased = std::count(world.log.begin(), world.log.end(), 'g') <= world.biased_reads;
    for (uint32_t i = 0; i < length; ++i)
        buffer[i] = uint8_t(world.generator() & (biased ? 0x7F : 0xFF));
    return !call();
}

bool tool_system_random(uint8_t*, size_t) {
    return world.system_random;
}

void tool_out(const std::string& text) {
    world.out += text;
}

void tool_flush_out() {}

void tool_err(const std::string& text) {
    world.err += text;
}

bool tool_out_binary(const uint8_t* data, size_t length) {
    world.out.append(reinterpret_cast<const char*>(data), world.out_fails ? 0 : length);
    return !world.out_fails;
}

bool tool_out_is_console() {
    return world.console;
}

// "locked" cannot be created; "full" takes the bytes, but they do not all reach the disk.
int tool_file_write(const char* path, const uint8_t* data, size_t length) {
    if (std::string(path) == "locked")
        return TOOL_FILE_NOT_CREATED;
    world.files[path].assign(reinterpret_cast<const char*>(data), length);
    return std::string(path) == "full" ? TOOL_FILE_INCOMPLETE : TOOL_FILE_WRITTEN;
}

void tool_file_remove(const char* path) {
    world.files.erase(path);
}

TEST(Orxtool, HelpAndArgumentErrors) {
    // clang-format off
    std::vector<Row> rows = {
        {"--help", nullptr, 0, "~  selftest [--save FILE]\n\nEvery command", ""},
        {"-h", nullptr, 0, "~5  selftest: the generator's output failed a test\n", ""},
        {"random --help", nullptr, 0, "~usage: orxtool random N [--hex | --out FILE] [--json]\n\nR",
         ""},
        {"--json", nullptr, 4, "~\"command\":null,\"error\":\"no command given\"", "~run 'orxtool"},
        {"info --json x", nullptr, 4, "{\"command\":\"info\",\"error\":\"unexpected argument 'x'\","
         "\"status\":{\"code\":0,\"name\":\"\"},\"ok\":false,\"exit_code\":4}\n",
         "orxtool info: unexpected argument 'x'\nusage: orxtool info [--json]\n"},
        {"--json reset \"\\\n\r\t\x01\x1f\xC0\x7F", nullptr, 4,
         "~(got '\\\"\\\\\\n\\r\\t\\u0001\\u001f\\u00c0\\u007f')\"", "~(got '"},
    };
    // The arguments' own errors, before the library is asked anything.
    const std::pair<const char*, std::string> errors[] = {
        {"", "usage: orxtool [--json] COMMAND"},
        {"--verbose info", "orxtool: unknown option '--verbose'\nrun 'orxtool --help'"},
        {"reset -h --bogus", "unknown option '--bogus'"},
        {"frobnicate", "orxtool: unknown command 'frobnicate'"},
        {"reset", "orxtool reset: missing argument\nusage: orxtool reset SLOT|all [--json]"},
        {"reset 16", "SLOT must be a number from 0 to 15, or 'all' (got '16')"},
        {"reset -- -1", "(got '-1')"},
        {"reset -", "(got '-')"}, // a slot number is one to ten decimal digits
        {"reset :", "(got ':')"},
        {"reset ", "(got '')"},
        {"reset 00000000001", "(got '00000000001')"},
        {"random 0", "N must be a number of bytes from 1 to 67108864 (got '0')"},
        {"random 12 --hex --out x", "--hex and --out cannot be used together"},
        {"random 12 --out", "option '--out' needs a value"},
        {"random 12 --out ", "option '--out' needs a value"},
        {"selftest --save -o", "option '--save' needs a value"},
        {"random 12 --hex --hex", "option '--hex' given twice"},
        {"info --hex", "unknown option '--hex'"}, // commands without options of their own
        {"slots --hex", "unknown option '--hex'"},
        {"seed --hex", "unknown option '--hex'"},
    };
    // clang-format on
    for (const auto& e : errors)
        rows.push_back({e.first, nullptr, 4, "", "~" + e.second});
    rows.push_back({"random 12", [] { world.console = true; }, 4, "", "~to the console"});
    run_rows(rows);
}

TEST(Orxtool, Commands) {
    const auto record = [] {
        world.status = 9; // left by an earlier failure
        const uint32_t words[20] = {0x1F, 1, 0, 1, 0, 64, 0, 0, 1, 0,
                                    0,    0, 0, 0, 0, 0,  0, 0, 0, 0xABC};
        std::copy(words, words + 20, world.info.word);
    };
    const auto keys = [] {
        world.keys[1][0] = "1111111111", world.keys[0][0] = "222222222222";
        world.keys[1][9] = "3333333333";
        world.keys[0][15] = "444444444 \x7F\x1F"; // only printable ASCII shown, else '?'
    };
    const char* all = "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11 r12 r13 r14 r15 ";
    std::string bytes(131072, 0); // what the scripted get_random gives from a fresh state
    std::generate(bytes.begin(), bytes.end(), World().generator);
    const std::string line = "01861ab84d4d1d749cb3ffc5cc1c82b6cd1be0f90760876f94a130261944f370\n";
    std::vector<std::pair<int, int>> nine(8, {2, 64}); // ready after the eighth seed
    nine.push_back({0, 0});
    const auto refused = [](std::map<int, uint32_t> f, uint32_t ready) { // calls: need, put, record
        return [=] { world.needs = {{1, 40}}, world.failing = f, world.info.word[1] = ready; };
    };
    const std::string sample = bytes.substr(0, 25600);
    std::string low = sample; // the first sample when the first reads are biased
    for (char& b : low)
        b &= 0x7F;
    // clang-format off
    run_rows({
        {"info", record, 0, "orxlink version:           1.6\ngenerator ready:           yes\nseed a"
         "ccepted:             no\nsingle seed bytes:         yes\nblock length:              512 b"
         "ytes\noperational:               no\ngenerator cannot complete: yes\nrecord words (hex): "
         "       1F 1 0 1 0 40 0 0 1 0 0 0 0 0 0 0 0 0 0 ABC\nlast status:               9 ERROR_S"
         "ET_KEY_INPUT_CHECK\n", ""},
        {"--json info", record, 0, "{\"command\":\"info\",\"library_version\":\"1.6\",\"driver\":"
         "true,\"record\":{\"generator_ready\":true,\"seed_accepted\":false,\"single_seed_bytes_a"
         "ccepted\":true,\"block_units\":64,\"block_length\":512,\"operational\":false,\"cannot_co"
         "mplete\":true,\"words\":[31,1,0,1,0,64,0,0,1,0,0,0,0,0,0,0,0,0,0,2748]},\"last_status\":"
         "{\"code\":9,\"name\":\"ERROR_SET_KEY_INPUT_CHECK\"},\"ok\":true,\"exit_code\":0}\n", ""},
        {"info --json", no_driver, 2, "~\"library_version\":\"1.6\",\"driver\":false,\"error\":\""
         "cannot read the driver information record: the ORVEXA", "~orxtool info: cannot read "
         "the driver information record: the ORVEXA driver is not available (status 51 "},
        {"slots", keys, 0, "~slot  sign key      crypt key\n0     222222222222  1111111111\n1     "
         "-             -\n2 ~9     -             3333333333\n~15    444444444 ??  -\n3 of 16 "
         "slots hold a key\n", ""},
        {"slots --json", keys, 0, "~{\"slot\":15,\"sign_key\":\"444444444 ??\",\"crypt_key\":null}"
         "],\"loaded\":3,\"ok\":true,\"exit_code\":0}\n", ""},
        {"slots", failing({{4, 1}}), 3, "", "~key numbers of slot 1 (status 1"}, // its sign
        {"reset 0000000015", nullptr, 0, "slot 15 reset\n", "", "r15 "},
        {"reset all", nullptr, 0, "all 16 slots reset\n", "", all},
        {"reset 0", failing({{1, 1}}), 3, "", "~refused to reset slot 0 (status 1 ORX_"},
        {"reset all", failing({{1, 53}, {16, 1}}), 3, "reset: 1 2 3 4 5 6 7 8 9 10 11 12 13 14\n",
         "~slots 0 (status 53 (system error 53)), 15 (status 1 ORX_DRIVER_ERROR)\n", all},
        // Each refusal's status named at once: the library names only the latest.
        {"reset all --json", failing({{6, 9}, {8, 1}}), 3,
         "~\"reset\":[0,1,2,3,4,6,8,9,10,11,12,13,14,15],\"refused\":[{\"slot\":5,\"status\":{"
         "\"code\":9,\"name\":\"ERROR_SET_KEY_INPUT_CHECK\"}},{\"slot\":7,\"status\":{\"code\":1,"
         "\"name\":\"ORX_DRIVER_ERROR\"}}],\"error\":\"the driver refused to reset slots 5", "~"},
        // A missing driver ends the run at once.
        {"--json reset all", no_driver, 2, "~\"reset\":[],\"error\":", absent, "r0 "},

        // random: all the bytes, or none.
        {"random 33 --hex", nullptr, 0, line + "3c\n", "", "g33 "},
        {"random 32 --hex", nullptr, 0, line, ""}, // whole lines only
        {"random 1000", nullptr, 0, bytes.substr(0, 1000), ""},
        {"--json random 5", nullptr, 0, "{\"command\":\"random\",\"bytes\":5,\"hex\":\"01861ab8"
         "4d\",\"ok\":true,\"exit_code\":0}\n", ""},
        {"random 513 --out f", [] { world.console = true; }, 0, "wrote 513 random bytes to f\n", "",
         "g513 ", {{"f", bytes.substr(0, 513)}}},
        {"random 3 --out f --json", nullptr, 0, "{\"command\":\"random\",\"bytes\":3,\"file\":"
         "\"f\",\"ok\":true,\"exit_code\":0}\n", "", "g3 ", {{"f", bytes.substr(0, 3)}}},
        {"random 131072 --out f", nullptr, 0, "~", "", "g65536 g65536 ", {{"f", bytes}}},
        {"random 70000 --out f", nullptr, 0, "~", "", "g65536 g4464 ",
         {{"f", bytes.substr(0, 70000)}}},
        {"random 9 --out f", needs({{1, 40}}), 3, "",
         "~not ready (it asks for seed material (1, 40)); run 'orxtool seed' first\n", ""},
        {"random 9 --out f", needs({{0, 8}}), 3, "", "~seed material (0, 8)", ""},
        {"random 9 --out f", [] { world.failing = {{1, 1}}, world.info.word[8] = 1; }, 3, "",
         "~cannot be completed"},
        {"random 9 --out f", failing({{1, 1}}), 3, "", "~what it needs (status 1 O"},
        {"random 9 --out f", failing({{2, 50}}), 3, "", "~written (status 50)\n"},
        {"random 9 --out locked", nullptr, 1, "", "~cannot write 'locked'\n"},
        {"random 9 --out full", nullptr, 1, "", "~cannot write 'full'"},
        {"random 9", [] { world.out_fails = true; }, 1, "", "~write to standard output"},

        // seed: answers each need until the generator is ready.
        {"seed", nullptr, 0, "step 1: need (0, 0): the generator is ready and tested; nothing to "
         "do\n", "", ""},
        {"seed", needs({{1, 40}, {1, 8}, {1, 32}, {1, 16}, {0, 8}, {0, 0}}), 0,
         "~step 1: need (1, 40): sending 8 single seed bytes and a 32-byte seed from the system's "
         "random source\nstep 1: accepted\n~(1, 8): sending 8 single seed bytes from~(1, 32): "
         "sending a 32-byte seed~(1, 16): sending a seed block~(0, 8): sending a seed block~step "
         "5: accepted\nstep 6: need (0, 0): the generator is ready and tested\n", "",
         "s1,40 s1,8 s1,32 s1,16 s0,8 "},
        {"seed --json", needs({{2, 64}, {0, 0}}), 0, "~\"steps\":[{\"need\":\"(2, 64)\",~\"resul"
         "t\":\"accepted\"},{~\"result\":\"ready\"}],\"ready\":true,\"seeds_sent\":1,\"ok\":t",
         ""},
        {"seed --json", needs(nine), 0, "~\"seeds_sent\":8,\"ok\":true", ""},
        {"seed", needs({{2, 64}}), 3, "~", "~still not ready after 8 seeds\n",
         "s2,64 s2,64 s2,64 s2,64 s2,64 s2,64 s2,64 s2,64 "},
        {"seed", refused({{2, 9}}, 0), 3, "~",
         "~refused seed material (1, 40) (answer 1), status 9 ERROR_SET_KEY_INPUT_CHECK\n"},
        {"seed", refused({{2, 9}}, 1), 3, "~", "~INPUT_CHECK; the generator is up but its"},
        {"seed", refused({{2, 9}, {3, 1}}, 1), 3, "~", "~(answer 1) (status 1 ORX_DRIVER_ERROR)\n"},
        {"seed", refused({{2, 51}}, 0), 2, "~", absent},
        {"seed", [] { world.needs = {{1, 40}, {0, 0}}, world.failing = {{3, 1}};
                      world.info.word[8] = 1; }, 3, "~", "~cannot be completed"},
        {"seed", [] { world.needs = {{1, 40}}, world.system_random = false; }, 3, "~",
         "~random source gave no bytes\n", ""},
        {"seed --json", refused({{2, 9}}, 0), 3,
         "~{\"need\":\"(1, 40)\",\"kind\":1,\"size\":40,\"result\":\"refused\"}],\"error\":", "~"},

        // selftest: the library's rule, and each test reported.
        {"selftest --save f", nullptr, 0, "~sample: 25600 bytes~(205.33 <= X <= 310.57, up to 5 s"
         "amples):\n  sample 1  X = 226.10 pass\nFIPS 140-2, first 20000 bits~ones = 9993 (9725 <"
         " X < 10275) pass\n~X = 20.96 (2.16 < X < 46.17) pass\n  runs      pass\n~interval\n~1~25"
         "27~2482~2315..2685\n~2~1219~1271~1114..1386\n~3~592~606~527..723\n~4~326~325~240..384\n"
         "~5~160~146~103..209\n~6+~170~163~103..209\n~longest = 15 (< 26) pass\nSP 800-90B~(H = 8 "
         "bits, alpha = 2^-20):\n~longest run = 2 (cut-off 4) pass\n~highest count = 6 in 50 windo"
         "ws of 512 (cut-off 13) pass\nselftest: pass\n", "", "g25600 ", {{"f", sample}}},
        {"--json selftest --save f", nullptr, 0,
         "{\"command\":\"selftest\",\"sample_bytes\":25600,\"chi_square\":{\"low\":205.33,"
         "\"high\":310.57,\"attempts\":[226.100000],\"pass\":true},\"fips140_2\":{\"bits\":20000,"
         "\"monobit\":{\"ones\":9993,\"pass\":true},\"poker\":{\"statistic\":20.960000,\"pass\":"
         "true},\"runs\":{\"zeros\":[2527,1219,592,326,160,170],\"ones\":[2482,1271,606,325,146,"
         "163],\"pass\":true},\"long_run\":{\"longest\":15,\"limit\":26,\"pass\":true},\"pass\":"
         "true},\"sp800_90b\":{\"entropy_bits\":8.0,\"alpha_log2\":-20,\"repetition_count\":{"
         "\"longest\":2,\"cutoff\":4,\"pass\":true},\"adaptive_proportion\":{\"window\":512,"
         "\"windows\":50,\"highest\":6,\"cutoff\":13,\"pass\":true}},\"pass\":true,\"saved\":"
         "\"f\",\"ok\":true,\"exit_code\":0}\n", "", "g25600 ", {{"f", sample}}},
        // all five samples out of bounds; then the second one passes, but the first one (the
        // one saved and diagnosed) still fails monobit
        {"selftest --save f", biased(5), 5, "~", "~output failed a test\n",
         "g25600 g25600 g25600 g25600 g25600 ", {{"f", low}}},
        {"selftest --save f", biased(1), 5, "~", "~failed a test", "g25600 g25600 ", {{"f", low}}},
        {"selftest --save f", biased(1, {{3, 1}}), 3, "", "~a sample of the generator (status 1",
         "g25600 g25600 "},
        {"selftest --save locked", biased(1), 1, "~", "~cannot write 'locked'\n", "g25600 g25600 "},
    });
    // clang-format on
}
