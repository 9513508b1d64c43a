// The orvserver program as its users run it: the account commands, serving on a port it
// chooses and reports, and a clean stop on SIGTERM or SIGINT.
#include "running_server.h"

#include "server_store.h"
#include "support/temp_dir.h"
#include "sync/wire_packing.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace orv::test {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 10s;

// A child orvserver; killed by the destructor when a failed test leaves it running.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> all{ORV_SERVER_BINARY};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        out_ = pipeFds[0];
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }

    // The first line the child prints, "" when none comes in time.
    std::string firstLine() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c = 0;
            if (read(out_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return {};
    }

    // The exit code, or -1 when the child did not exit normally in time.
    int exitCode() {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            const pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

    void signal(int number) { kill(pid_, number); }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

int run(const std::vector<std::string>& args) {
    Child child(args);
    return child.started() ? child.exitCode() : -1;
}

TEST(OrvserverTest, CommandsAnswerWithTheirExitCode) {
    TempDir dir;
    const std::string data = dir.file("server.db");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{"add-account", "alice", "secret"}, 1},  // no --data
        {{"--data", data, "add-account", "alice", "secret", "--allowance", "1"}, 0},
        {{"--data", data, "add-account", "alice", "other"}, 1},  // the name is taken
        {{"--data", data, "add-account", "a,b", "secret"}, 1},
        {{"--data", data, "add-account", "bob"}, 1},
        {{"--data", data, "add-account", "bob", "secret", "--allowance", "-1"}, 1},
        {{"--data", data, "lock-account", "nobody"}, 1},
        {{"--data", data, "lock-account", "alice"}, 0},
        {{"--data", data, "unlock-account", "alice"}, 0},
        {{"--data", data, "reserve-ids", "40"}, 0},
        {{"--data", data, "reserve-ids", "many"}, 1},
        {{"--data", data, "frobnicate"}, 1},
        {{"--data", data, "--port", "70000"}, 1},
        {{"--data", data, "--colour"}, 1},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        EXPECT_EQ(run(c.args), c.exitCode);
    }
    server::ServerStore store;
    std::string error;
    ASSERT_TRUE(store.open(data, error)) << error;
    const std::optional<server::Account> alice = store.account("alice");
    ASSERT_TRUE(alice);
    EXPECT_EQ(alice->digest, sync::PasswordDigest("secret"));
    EXPECT_EQ(alice->allowance, 1);
    EXPECT_FALSE(alice->locked);
    EXPECT_FALSE(store.account("bob"));
}

class OrvserverSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(OrvserverSignalTest, ServesOnTheReportedPortAndStopsCleanly) {
    TempDir dir;
    const std::string data = dir.file("server.db");
    ASSERT_EQ(run({"--data", data, "add-account", "alice", "secret", "--allowance", "1"}), 0);
    ASSERT_EQ(run({"--data", data, "reserve-ids", "40"}), 0);

    Child server({"--data", data, "--port", "0"});
    ASSERT_TRUE(server.started());
    const std::string line = server.firstLine();
    const std::string prefix = "orvserver: listening on 127.0.0.1:";
    ASSERT_EQ(line.substr(0, prefix.size()), prefix) << line;
    const int port = std::stoi(line.substr(prefix.size()));

    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(5);
    const std::string account = "alice," + sync::PasswordDigest("secret");
    const httplib::Result login = client.Get(("/port.php?c=orvut&a=" + sync::ScrambleText(account)).c_str());
    ASSERT_TRUE(login);
    EXPECT_EQ(replyFields(login->body), (std::vector<std::string>{"0", "1", "1"}));
    const httplib::Result submitted = client.Post(
        "/port.php?c=orvxg", sync::ScrambleText(account + ",0,0,c," + sync::ScrambleText("DirName='c'")),
        "application/x-www-form-urlencoded");
    ASSERT_TRUE(submitted);
    EXPECT_EQ(replyFields(submitted->body).at(1), "41");

    server.signal(GetParam());
    EXPECT_EQ(server.exitCode(), 0);
    server::ServerStore store;
    std::string error;
    ASSERT_TRUE(store.open(data, error)) << error;
    EXPECT_EQ(store.account("alice")->points, 1);  // the change was kept
}

INSTANTIATE_TEST_SUITE_P(Signals, OrvserverSignalTest, ::testing::Values(SIGTERM, SIGINT));

}  // namespace
}  // namespace orv::test
