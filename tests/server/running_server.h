// A sync server running in the test's own process on a free loopback port, a client that
// speaks to it as the plug-in does, and the packing of requests and reading of replies.
#pragma once

#include "server_store.h"
#include "port_script.h"
#include "support/temp_dir.h"
#include "sync_server.h"

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orv::test {

// Started by the constructor, stopped and joined by the destructor.
class RunningServer {
public:
    RunningServer();
    ~RunningServer();

    server::ServerStore& store() { return store_; }
    const std::string& stateFile() const { return stateFile_; }
    int port() const { return port_; }
    void setNow(long long date) { now_ = date; }

    // Adds an account with the digest the client would send for `password`; its uID.
    long long addAccount(const std::string& name, const std::string& password,
                         std::optional<long long> allowance = std::nullopt, long long points = 0,
                         bool locked = false);

    // A raw request; the reply body ("" when the HTTP request itself failed).
    std::string get(const std::string& pathAndQuery);
    std::string post(const std::string& pathAndQuery, const std::string& body);

    // The three requests as the plug-in sends them.
    std::string testAccount(const std::string& name, const std::string& password);
    std::string submit(const std::string& name, const std::string& password, int code, long long target,
                       const std::string& recordName, const std::string& body);
    std::string fetch(long long after, const std::string& except = "");

private:
    TempDir dir_;
    std::string stateFile_;
    server::ServerStore store_;
    std::atomic<long long> now_{1000000};
    server::PortScript script_;
    server::SyncServer server_;
    int port_ = -1;
    std::thread thread_;
};

// The unpacked payload of a good reply split at commas; empty when the reply is not good
// or its payload does not unpack.
std::vector<std::string> replyFields(const std::string& reply);
// The unpacked records of a fetch reply, as the client reads them.
std::vector<std::string> fetchedRecords(const std::string& reply);

}  // namespace orv::test
