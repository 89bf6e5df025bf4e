#include "framework/object_monitor.h"

#include <algorithm>

namespace payfmt {

namespace {

// Constant-initialised, so it exists before and outlives every object built
// at run time: components released while the process-wide objects go away
// at unload still find it.
constinit ObjectMonitors monitors;

}  // namespace

ObjectMonitors& ObjectMonitors::instance() { return monitors; }

void ObjectMonitors::add(IObjectMonitor* monitor) {
    std::lock_guard guard(lock_);
    monitors_.push_back(monitor);
}

void ObjectMonitors::remove(IObjectMonitor* monitor) {
    std::lock_guard guard(lock_);
    std::erase(monitors_, monitor);
}

// Monitors are called without the lock held, so that they may create and
// release components, or remove themselves.
std::vector<IObjectMonitor*> ObjectMonitors::current() const {
    std::lock_guard guard(lock_);
    return monitors_;
}

void ObjectMonitors::created(TAutomationObject& object) {
    for (IObjectMonitor* m : current()) m->OnCreateObject(object);
}

void ObjectMonitors::destroyed(TAutomationObject& object) {
    for (IObjectMonitor* m : current()) m->OnDestroyObject(object);
}

}  // namespace payfmt
