// kestro-sim entity, run as a separate process: encode writes the text form, decode reads it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/run_sim.h"

namespace {

using namespace std::string_literals;
using kestro::sim::test::RunResult;
using kestro::sim::test::runSim;

TEST(ToolsEntity, EncodeWritesExactlyTheTextForm) {
    struct Case {
        std::vector<std::string> fields;
        std::string text;
    };
    const Case cases[] = {
        {{"30", "40", "20", "30", "24", "c0"}, "30\r\n40\r\n20\r\n30\r\n24\r\nc0"},
        {{"270.5", "0.25", "-3", "0", "-1", ""}, "270.5\r\n0.25\r\n-3\r\n0\r\n-1\r\n"},
        {{"0.1", "1e7", "+5", "-0", "2147483647", "a\r\nb"},
         "0.1\r\n1E+07\r\n5\r\n0\r\n2147483647\r\na\r\nb"},
        {{"123.4567891", "1e-50", ".5", "5.", "-2147483648", "Kestro Version 4.0"},
         "123.4568\r\n0\r\n0.5\r\n5\r\n-2147483648\r\nKestro Version 4.0"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"entity", "encode"};
        args.insert(args.end(), c.fields.begin(), c.fields.end());
        const RunResult r = runSim(args);
        EXPECT_EQ(r.status, 0) << c.fields[0];
        EXPECT_EQ(r.out, c.text);
        EXPECT_EQ(r.err, "");
    }
}

TEST(ToolsEntity, DecodePrintsTheSixFields) {
    struct Case {
        std::string input;
        std::string lines;
    };
    const Case cases[] = {
        {"30\r\n40\r\n20\r\n30\r\n24\r\nc0",
         "x1 = 30\nx2 = 40\ny1 = 20\ny2 = 30\nflags = 24\ntext = c0\n"},
        {"270.5\r\n 0.25\r\n-3\r\nabc\r\n 8 \r\nline 1\r\nline 2\r\n",
         "x1 = 270.5\nx2 = 0.25\ny1 = -3\ny2 = 0\nflags = 8\ntext = line 1\\r\\nline 2\\r\\n\n"},
        {"1e8\r\n&H10\r\n1\r\n2\r\n3\r\nlone\rcr and\nlf",
         "x1 = 1E+08\nx2 = 16\ny1 = 1\ny2 = 2\nflags = 3\ntext = lone\\rcr and\\nlf\n"},
        {"", "x1 = 0\nx2 = 0\ny1 = 0\ny2 = 0\nflags = 0\ntext = \n"},
        {"1\r\n2\r\n3\r\n4\r\nnot read", "x1 = 0\nx2 = 0\ny1 = 0\ny2 = 0\nflags = 0\ntext = \n"},
        {"\r\n\r\n\r\n\r\n0\r\n\0"s, "x1 = 0\nx2 = 0\ny1 = 0\ny2 = 0\nflags = 0\ntext = \0\n"s},
    };
    for (const auto& c : cases) {
        const RunResult r = runSim({"entity", "decode"}, c.input);
        EXPECT_EQ(r.status, 0) << c.input;
        EXPECT_EQ(r.out, c.lines);
        EXPECT_EQ(r.err, "");
    }
}

TEST(ToolsEntity, DecodeReportsConversionErrors) {
    struct Case {
        std::string input;
        std::string line;
    };
    const Case cases[] = {
        {"\r\n\r\n\r\n\r\n\r\n", "error 13 type mismatch\n"},
        {"1\r\n2\r\n3\r\n4\r\nabc\r\nc0", "error 13 type mismatch\n"},
        {"1\r\n2\r\n3\r\n4\r\n2147483648\r\nc0", "error 6 overflow\n"},
        {"1e39\r\n2\r\n3\r\n4\r\n5\r\nc0", "error 6 overflow\n"},
    };
    for (const auto& c : cases) {
        const RunResult r = runSim({"entity", "decode"}, c.input);
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_EQ(r.out, "") << "the error goes to stderr only";
        EXPECT_EQ(r.err, "kestro-sim: entity decode: " + c.line);
    }
}

TEST(ToolsEntity, BadArgumentsGiveOneLineOnStderr) {
    const std::vector<std::string> cases[] = {
        {"entity"},
        {"entity", "transcode"},
        {"entity", "encode", "1", "2", "3", "4", "5"},
        {"entity", "encode", "1", "2", "3", "4", "5", "t", "extra"},
        {"entity", "encode", "abc", "2", "3", "4", "5", "t"},
        {"entity", "encode", "1", "", "3", "4", "5", "t"},
        {"entity", "encode", "1", "2", "3x", "4", "5", "t"},
        {"entity", "encode", "1", "2", "3", "nan", "5", "t"},
        {"entity", "encode", "-inf", "2", "3", "4", "5", "t"},
        {"entity", "encode", "1e39", "2", "3", "4", "5", "t"},
        {"entity", "encode", "+-1", "2", "3", "4", "5", "t"},
        {"entity", "encode", "1", "2", "3", "4", "1.5", "t"},
        {"entity", "encode", "1", "2", "3", "4", "2147483648", "t"},
        {"entity", "decode", "extra"},
    };
    for (const auto& args : cases) {
        const RunResult r = runSim(args);
        EXPECT_EQ(r.status, 1) << args.back();
        EXPECT_EQ(r.out, "") << args.back();
        ASSERT_FALSE(r.err.empty()) << args.back();
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

TEST(ToolsEntity, EncodeThenDecodeGivesTheFieldsBack) {
    const RunResult encoded =
        runSim({"entity", "encode", "12.5", "-7", "0.001", "3e6", "40", "c65280\r\nhello"});
    ASSERT_EQ(encoded.status, 0);
    const RunResult decoded = runSim({"entity", "decode"}, encoded.out);
    EXPECT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.out,
              "x1 = 12.5\nx2 = -7\ny1 = 0.001\ny2 = 3000000\nflags = 40\n"
              "text = c65280\\r\\nhello\n");
}

}  // namespace
