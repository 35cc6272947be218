#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace dgaws::cli::test {

// The built dgaws-cli as a user runs it, its output in files of `dir`: a non-empty `home`
// becomes its DGAWS_HOME, a non-empty `workDir` its working folder. Killed at the end if it
// still runs.
class ToolProcess {
public:
    ToolProcess(std::vector<std::string> args, const std::string& dir, const std::string& home = {},
                const std::string& workDir = {})
        : out_(dir + "/stdout.txt"), err_(dir + "/stderr.txt")
    {
        args.insert(args.begin(), DGAWS_BINARY_DIR "/dgaws-cli");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            ::dup2(::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            if (!home.empty())
                ::setenv("DGAWS_HOME", home.c_str(), 1);
            if (!workDir.empty() && ::chdir(workDir.c_str()) != 0)
                ::_exit(126);
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~ToolProcess()
    {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    // The exit status, or -signal when it was killed; nothing while it still runs at the
    // deadline.
    std::optional<int> wait()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (int st = 0; !status_ && std::chrono::steady_clock::now() < deadline;) {
            if (::waitpid(pid_, &st, WNOHANG) == pid_)
                status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -WTERMSIG(st);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return status_;
    }
    void kill(int signal) { ::kill(pid_, signal); }
    std::string out() const { return contents(out_); }
    std::string err() const { return contents(err_); }

private:
    static std::string contents(const std::string& path)
    {
        std::ifstream in(path);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string out_, err_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the tool to its end with the words of `args` (the tests' paths hold no spaces).
inline ToolResult runTool(const std::string& args, const std::string& dir,
                          const std::string& home = {}, const std::string& workDir = {})
{
    std::vector<std::string> words;
    std::istringstream in(args);
    for (std::string w; in >> w;)
        words.push_back(w);
    ToolProcess p(std::move(words), dir, home, workDir);
    return {p.wait().value_or(-1), p.out(), p.err()};
}

}  // namespace dgaws::cli::test
