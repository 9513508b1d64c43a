// The plug-in's one running operation, and what waits for its end.
#include "library/operation_gate.h"

#include <utility>

namespace orv::library {

OperationGate::Ticket::Ticket(Ticket&& other) noexcept : gate_(std::exchange(other.gate_, nullptr)) {}

OperationGate::Ticket::~Ticket() {
    if (gate_) gate_->end();
}

std::optional<OperationGate::Ticket> OperationGate::begin(std::string_view what) {
    if (busy()) return std::nullopt;
    running_ = what.empty() ? std::string("操作") : std::string(what);
    Ticket ticket(this);  // from here the operation ends however the rest goes
    if (began) began(running_);
    return ticket;
}

std::string OperationGate::refusal() const {
    return "“" + running_ + "”还没有结束，请等它完成后再试。";
}

void OperationGate::whenIdle(std::function<void()> task) {
    if (!task) return;
    if (!busy()) {
        task();
        return;
    }
    idleTasks_.push_back(std::move(task));
}

void OperationGate::end() {
    running_.clear();
    // Whatever the windows or a waiting task do, the gate is open again first; a task
    // that begins an operation of its own keeps the rest waiting for that one.
    try {
        if (ended) ended();
    } catch (...) {
    }
    while (!busy() && !idleTasks_.empty()) {
        std::function<void()> task = std::move(idleTasks_.front());
        idleTasks_.erase(idleTasks_.begin());
        try {
            task();
        } catch (...) {
        }
    }
}

}  // namespace orv::library
