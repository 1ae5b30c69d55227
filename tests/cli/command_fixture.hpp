// Running the built command as a user runs it, for the command's tests: a
// scratch folder of the test's own, the command run through a shell (arguments
// quoted by the test) or without one (an argument list, with environment
// variables), and what it printed and returned.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace ormelin::testing_support {

struct Outcome {
    int status = -1;
    std::string out, err;
};

/// A word quoted for the shell.
inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

/// The bytes of a file ("" when it cannot be read).
inline std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// How often a word occurs in a text.
inline std::size_t Count(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

class CommandTest : public ::testing::Test {
protected:
    explicit CommandTest(std::string prefix = "ormelin-cli-") : prefix_(std::move(prefix)) {}

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    /// Runs the command through the shell with the arguments (already quoted where
    /// needed), stdin not a terminal.
    Outcome Ormelin(const std::string& args) const {
        const std::string errFile = Path("stderr.txt");
        const std::string cmd =
            std::string(ORMELIN_BINARY_DIR) + "/ormelin " + args + " </dev/null 2>" + Quote(errFile);
        Outcome r;
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return r;
        std::array<char, 4096> buf{};
        std::size_t n;
        while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
        const int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.err = Bytes(errFile);
        return r;
    }

    /// Starts the command without a shell; stdin /dev/null, output into files.
    pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) const {
        const std::string outFile = Path("stdout.txt"), errFile = Path("stderr.txt");
        pid_t pid = fork();
        if (pid == 0) {
            int in = open("/dev/null", O_RDONLY);
            int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
            std::vector<std::string> all = {std::string(ORMELIN_BINARY_DIR) + "/ormelin"};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (auto& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        return pid;
    }

    Outcome Finish(pid_t pid) const {
        int st = 0;
        waitpid(pid, &st, 0);
        Outcome r;
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.out = Bytes(Path("stdout.txt"));
        r.err = Bytes(Path("stderr.txt"));
        return r;
    }

    /// Runs the command without a shell.
    Outcome Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) const {
        return Finish(Start(args, env));
    }

    std::filesystem::path dir_;

private:
    std::string prefix_;
};

}  // namespace ormelin::testing_support
