// kestro-sim entity, run as a separate process: encode writes the text form, decode reads it.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A scratch folder for one test's stdin, stdout and stderr files, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "kestro-entity-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    fs::path operator/(const char* name) const { return path_ / name; }

  private:
    fs::path path_;
};

// Runs kestro-sim with the arguments after its name, feeding input on stdin.
RunResult runSim(const std::vector<std::string>& args, const std::string& input = "") {
    ScratchDir dir;
    const fs::path in = dir / "in", out = dir / "out", err = dir / "err";
    std::ofstream(in, std::ios::binary)
        .write(input.data(), static_cast<std::streamsize>(input.size()));

    std::vector<std::string> all{KESTRO_SIM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    RunResult result;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
        return result;
    }
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    result.out = slurp(out);
    result.err = slurp(err);
    return result;
}

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
        EXPECT_EQ(r.out, c.line);
        EXPECT_EQ(r.err, c.line);
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
