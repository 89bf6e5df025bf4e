#pragma once
// The root of every component: reference counted, and able to make a fresh
// instance of its own class.
#include "support/object.h"

namespace payfmt {

class TCloneableObject : public RefObject {
public:
    // A new, independent instance of this object's own class, made by that
    // class's constructor; the caller holds its only reference.
    virtual Ref<TCloneableObject> Clone() const = 0;
};

}  // namespace payfmt
