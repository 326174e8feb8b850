// Owners that give back what they hold when their scope ends, on every path: a registry
// key, a loaded module, a block of memory (each a handle with its release function) and a
// lock (entered at construction). Null handles are never released.
#ifndef ORX_COMMON_SCOPED_H
#define ORX_COMMON_SCOPED_H

template <typename Handle, void (*Release)(Handle)> class scoped {
  public:
    explicit scoped(Handle held = Handle()) : held_(held) {}
    ~scoped() {
        if (held_)
            Release(held_);
    }
    scoped(const scoped&) = delete;
    scoped& operator=(const scoped&) = delete;

    Handle get() const { return held_; }
    explicit operator bool() const { return held_ != Handle(); }
    // Hands the handle on; the owner then releases nothing.
    Handle release() {
        Handle held = held_;
        held_ = Handle();
        return held;
    }

  private:
    Handle held_;
};

template <typename Lock, void (*Enter)(Lock), void (*Leave)(Lock)> class scoped_hold {
  public:
    explicit scoped_hold(Lock lock) : lock_(lock) {
        if (lock_)
            Enter(lock_);
    }
    ~scoped_hold() {
        if (lock_)
            Leave(lock_);
    }
    scoped_hold(const scoped_hold&) = delete;
    scoped_hold& operator=(const scoped_hold&) = delete;

  private:
    Lock lock_;
};

#endif
