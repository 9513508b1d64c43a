// One long operation at a time across all the windows of the plug-in: deleting, pasting,
// moving, counting, importing, a backup, applying or fetching change records, a save.
// An operation holds the gate from its start to its end (its last write committed or
// given up); meanwhile every other command that writes is refused and says why, and no
// window closes. Used on the window thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::library {

class OperationGate {
public:
    // A running operation; ends when it is destroyed (its code left, however).
    class Ticket {
    public:
        Ticket(Ticket&& other) noexcept;
        Ticket& operator=(Ticket&&) = delete;
        Ticket(const Ticket&) = delete;
        ~Ticket();

    private:
        friend class OperationGate;
        explicit Ticket(OperationGate* gate) : gate_(gate) {}
        OperationGate* gate_;
    };

    OperationGate() = default;
    OperationGate(const OperationGate&) = delete;
    OperationGate& operator=(const OperationGate&) = delete;

    // Starts `what` (the command's name: "粘贴"); nothing when another operation runs.
    std::optional<Ticket> begin(std::string_view what);
    bool busy() const { return !running_.empty(); }
    // What runs now; empty when nothing does.
    const std::string& running() const { return running_; }
    // What a refused command tells the user while `running()` runs.
    std::string refusal() const;

    // Runs `task` once nothing runs: at once when nothing does, else right after the
    // running operation has ended, in the order asked.
    void whenIdle(std::function<void()> task);

    // Told as an operation begins and after it ended (the windows follow it).
    std::function<void(const std::string& what)> began;
    std::function<void()> ended;

private:
    void end();

    std::string running_;
    std::vector<std::function<void()>> idleTasks_;
};

}  // namespace orv::library
