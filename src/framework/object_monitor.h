#pragma once
// Object monitors: observers told when a component comes into being and
// when it goes, for hosts that track component lifetimes.
#include <mutex>
#include <vector>

namespace payfmt {

class TAutomationObject;

class IObjectMonitor {
public:
    virtual void OnCreateObject(TAutomationObject& object) = 0;
    // Runs while the object is being destroyed: its count is zero and the
    // object must not be kept.
    virtual void OnDestroyObject(TAutomationObject& object) = 0;

protected:
    ~IObjectMonitor() = default;
};

class ObjectMonitors {
public:
    static ObjectMonitors& instance();
    void add(IObjectMonitor* monitor);
    void remove(IObjectMonitor* monitor);
    void created(TAutomationObject& object);
    void destroyed(TAutomationObject& object);

    constexpr ObjectMonitors() = default;

private:
    std::vector<IObjectMonitor*> current() const;
    mutable std::mutex lock_;
    std::vector<IObjectMonitor*> monitors_;
};

}  // namespace payfmt
