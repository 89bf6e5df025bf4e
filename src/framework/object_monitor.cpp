#include "framework/object_monitor.h"

#include <algorithm>

#include "support/lock.h"

namespace payfmt {

// Components are released from anywhere (a host clearing a variant does not
// pass through a locked entry point), so the list takes the process lock.

ObjectMonitors& ObjectMonitors::instance() {
    static ObjectMonitors monitors;
    return monitors;
}

void ObjectMonitors::add(IObjectMonitor* monitor) {
    ProcessGuard lock(processLock());
    monitors_.push_back(monitor);
}

void ObjectMonitors::remove(IObjectMonitor* monitor) {
    ProcessGuard lock(processLock());
    std::erase(monitors_, monitor);
}

void ObjectMonitors::created(TAutomationObject& object) {
    ProcessGuard lock(processLock());
    const auto current = monitors_;  // a monitor may remove itself
    for (IObjectMonitor* m : current) m->OnCreateObject(object);
}

void ObjectMonitors::destroyed(TAutomationObject& object) {
    ProcessGuard lock(processLock());
    const auto current = monitors_;
    for (IObjectMonitor* m : current) m->OnDestroyObject(object);
}

}  // namespace payfmt
