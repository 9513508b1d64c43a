// A flag that is set for a scope and cleared when it ends, however it ends: an editor is
// busy while it saves, and a save that failed by an exception must not leave it busy for
// good (neither it nor the help window could be closed again). Win32 only.
#pragma once

namespace orv::editors {

class BusyWhile {
public:
    explicit BusyWhile(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyWhile() { flag_ = false; }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    bool& flag_;
};

}  // namespace orv::editors
