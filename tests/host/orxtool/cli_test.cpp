// orxtool's JSON writer and argument parsing: what scripts depend on (documents that parse,
// numbers that keep their value) and what guards the exit code 4.
#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>

#include "args.h"
#include "json.h"

TEST(JsonWriter, EscapesTextAndKeepsDocumentsWellFormed) {
    EXPECT_EQ(json_quote("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    EXPECT_EQ(json_quote("\xC0\x7F"), "\"\\u00c0\\u007f\"");

    JsonWriter j;
    j.begin_object();
    j.field("name", "slots");
    j.begin_array("slots");
    j.begin_object();
    j.field("slot", 0);
    j.field("key", static_cast<const char*>(nullptr));
    j.end_object();
    j.begin_object();
    j.field("slot", 1);
    // a failure in the middle: the report closes what is open and adds its members
    j.close_to(1);
    j.field("ok", false);
    j.field("word", uint32_t(0xFFFFFFFFu));
    j.field("neg", -3);
    j.field("x", NAN);
    j.field("chi", 250.126, 2);
    j.close_all();
    EXPECT_EQ(j.text(), "{\"name\":\"slots\",\"slots\":[{\"slot\":0,\"key\":null},{\"slot\":1}],"
                        "\"ok\":false,\"word\":4294967295,\"neg\":-3,\"x\":null,\"chi\":250.13}");
}

TEST(JsonWriter, ArraysOfValuesTakeNoKeys) {
    JsonWriter j;
    j.begin_array();
    j.value(1u);
    j.value("two");
    j.begin_array();
    j.end_array();
    j.end_array();
    EXPECT_EQ(j.text(), "[1,\"two\",[]]");
}

TEST(Args, DecimalNumbersAreStrict) {
    uint32_t v = 99;
    EXPECT_TRUE(parse_decimal("0", 0, 15, &v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(parse_decimal("15", 0, 15, &v));
    EXPECT_EQ(v, 15u);
    EXPECT_TRUE(parse_decimal("4294967295", 1, UINT32_MAX, &v));
    EXPECT_EQ(v, UINT32_MAX);
    v = 7;
    for (const char* bad : {"16", "", "+1", "-1", " 1", "1 ", "0x10", "1k", "4294967296",
                            "99999999999", "00000000001"})
        EXPECT_FALSE(parse_decimal(bad, 0, 15, &v)) << bad;
    EXPECT_EQ(v, 7u); // untouched on failure
    EXPECT_FALSE(parse_decimal("0", 1, 10, &v));
}

TEST(Args, OptionsValuesAndPositionals) {
    const OptionDef options[] = {{"--hex", false}, {"--out", true}};
    std::string error;
    {
        const char* argv[] = {"100", "--json", "--out", "r.bin", "-", "--", "--hex"};
        ParsedArgs a;
        ASSERT_TRUE(parse_args(7, argv, options, 2, &a, &error)) << error;
        EXPECT_TRUE(a.json);
        EXPECT_FALSE(a.help);
        EXPECT_STREQ(a.value("--out"), "r.bin");
        EXPECT_FALSE(a.has("--hex")); // after "--" it is a positional
        EXPECT_EQ(a.positional, (std::vector<std::string>{"100", "-", "--hex"}));
    }
    {
        const char* argv[] = {"-h"};
        ParsedArgs a;
        ASSERT_TRUE(parse_args(1, argv, options, 2, &a, &error));
        EXPECT_TRUE(a.help);
    }
    struct Bad {
        std::vector<const char*> argv;
        const char* error;
    };
    for (const Bad& bad : {Bad{{"--verbose"}, "unknown option '--verbose'"},
                           Bad{{"--out"}, "option '--out' needs a value"},
                           Bad{{"--out", "--json"}, "option '--out' needs a value"},
                           Bad{{"--hex", "--hex"}, "option '--hex' given twice"}}) {
        ParsedArgs a;
        error.clear();
        EXPECT_FALSE(parse_args(int(bad.argv.size()), bad.argv.data(), options, 2, &a, &error));
        EXPECT_EQ(error, bad.error);
    }
}
