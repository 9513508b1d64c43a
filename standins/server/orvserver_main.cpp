// orvserver: the sync server stand-in's command line; serves port.php, or keeps its accounts.
#include "library/fragment_check.h"
#include "library/fragment.h"
#include "port_script.h"
#include "sync/wire_packing.h"
#include "sync_server.h"

#include <signal.h>

#include <atomic>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace orv::server;

constexpr int kDefaultPort = 1314;
constexpr const char* kHost = "127.0.0.1";

constexpr const char* kUsage = R"(usage:
  orvserver --data FILE [--port N]
      serve port.php on 127.0.0.1 (port 1314 unless given; 0 picks a free one) until
      SIGTERM or SIGINT; prints "orvserver: listening on 127.0.0.1:PORT" once ready
  orvserver --data FILE add-account NAME PASSWORD [--allowance N] [--points N]
      create an account; without --allowance its changes per 24 hours follow its points
      (below 10: 1, below 10000: 3, below 100000: 30, else 300)
  orvserver --data FILE lock-account NAME
  orvserver --data FILE unlock-account NAME      (also forgets wrong passwords)
  orvserver --data FILE reserve-ids N
      ids up to N are in the libraries the clients start from: new ids come above N
FILE is the server's SQLite state file, created when missing.
)";

struct CommandLine {
    std::map<std::string, std::string> options;  // "--port" -> "1314"
    std::vector<std::string> words;
    bool help = false;
};

bool parse(int argc, char** argv, CommandLine& out, std::string& error) {
    static const char* const kValued[] = {"--data", "--port", "--allowance", "--points"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        bool valued = false;
        for (const char* name : kValued) valued = valued || arg == name;
        if (valued) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out.options[arg] = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
            return false;
        } else {
            out.words.push_back(arg);
        }
    }
    return true;
}

bool number(const CommandLine& cl, const std::string& option, long long low, long long& out, std::string& error) {
    const auto it = cl.options.find(option);
    if (it == cl.options.end()) return true;
    if (!orv::library::isIntegerLiteral(it->second) || it->second.size() > 18 ||
        orv::library::toInt(it->second) < low) {
        error = option + " takes a whole number of at least " + std::to_string(low);
        return false;
    }
    out = orv::library::toInt(it->second);
    return true;
}

int fail(const std::string& message) {
    std::cerr << "orvserver: " << message << '\n';
    return 1;
}

int serve(ServerStore& store, const CommandLine& cl) {
    long long port = kDefaultPort;
    std::string error;
    if (!number(cl, "--port", 0, port, error) || port > 65535) return fail(error.empty() ? "--port is at most 65535" : error);

    // Signals are taken by one waiting thread, so that the server stops from plain code
    // rather than from inside a signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    PortScript script(store);
    SyncServer server(script);
    const int bound = server.bind(kHost, static_cast<int>(port));
    if (bound < 0) return fail("cannot listen on " + std::string(kHost) + ":" + std::to_string(port));

    std::atomic<bool> over{false};
    std::thread watcher([&] {
        // Waits in short steps, so that it also ends when serving ended by itself.
        const timespec step{0, 100 * 1000 * 1000};
        while (!over) {
            if (sigtimedwait(&stopSignals, nullptr, &step) > 0) {
                server.stop();
                return;
            }
        }
    });
    std::cout << "orvserver: listening on " << kHost << ':' << bound << std::endl;
    const bool served = server.run();
    over = true;
    watcher.join();
    return served ? 0 : fail("serving stopped on an error");
}

int addAccount(ServerStore& store, const CommandLine& cl) {
    if (cl.words.size() != 3) return fail("add-account takes NAME PASSWORD");
    Account account;
    account.name = cl.words[1];
    const std::string& password = cl.words[2];
    // The wire splits requests at commas, so a name with one could never sign in.
    if (account.name.empty() || account.name.find(',') != std::string::npos)
        return fail("an account name is not empty and has no comma");
    if (password.empty()) return fail("the password is empty");
    account.digest = orv::sync::PasswordDigest(password);
    std::string error;
    long long allowance = -1;
    if (!number(cl, "--points", 0, account.points, error) || !number(cl, "--allowance", 0, allowance, error))
        return fail(error);
    if (allowance >= 0) account.allowance = allowance;
    if (!store.addAccount(account, error)) return fail(error);
    std::cout << "orvserver: account " << account.name << " added\n";
    return 0;
}

int setLocked(ServerStore& store, const CommandLine& cl, bool locked) {
    if (cl.words.size() != 2) return fail(cl.words[0] + " takes NAME");
    if (!store.setLocked(cl.words[1], locked)) return fail("no account named " + cl.words[1]);
    return 0;
}

int reserveIds(ServerStore& store, const CommandLine& cl) {
    if (cl.words.size() != 2 || !orv::library::isIntegerLiteral(cl.words[1]) || cl.words[1][0] == '-' ||
        cl.words[1].size() > 18)
        return fail("reserve-ids takes a whole number");
    const long long id = orv::library::toInt(cl.words[1]);
    for (IdKind kind : {IdKind::Category, IdKind::Entry, IdKind::Data}) store.reserveIds(kind, id);
    return 0;
}

int run(const CommandLine& cl) {
    const auto data = cl.options.find("--data");
    if (data == cl.options.end()) return fail("--data FILE is required (see --help)");
    ServerStore store;
    std::string error;
    if (!store.open(data->second, error)) return fail(error);
    if (cl.words.empty()) return serve(store, cl);
    const std::string& command = cl.words[0];
    if (command == "add-account") return addAccount(store, cl);
    if (command == "lock-account") return setLocked(store, cl, true);
    if (command == "unlock-account") return setLocked(store, cl, false);
    if (command == "reserve-ids") return reserveIds(store, cl);
    return fail("unknown command " + command + " (see --help)");
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine cl;
    std::string error;
    if (!parse(argc, argv, cl, error)) return fail(error + " (see --help)");
    if (cl.help) {
        std::cout << kUsage;
        return 0;
    }
    try {
        return run(cl);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}
